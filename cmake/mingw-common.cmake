# Shared part of the MinGW-w64 toolchains: compilers, resource compiler and
# the search roots of the chosen triple. The posix thread model is not needed.
set(CMAKE_C_COMPILER ${VARDELUNE_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VARDELUNE_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${VARDELUNE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VARDELUNE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages too: the host's own (its GoogleTest) are built for Linux.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
