// The program's version and names, shared by the version block (version.rc2)
// and by any code that shows them.
#pragma once

#define VARDELUNE_VERSION_NUMBERS 1, 0, 0, 0
#define VARDELUNE_VERSION_TEXT "1.00"
#define VARDELUNE_PRODUCT_NAME "Vardelune"
#define VARDELUNE_FILE_NAME "Vardelune.exe"
