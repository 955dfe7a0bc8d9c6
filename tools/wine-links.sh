#!/bin/sh
# Gives a Wine prefix the two folders that programs written for Windows XP
# (Vardelune among them) look for in the profile and Wine 8 does not make:
# "Local Settings\Application Data", a link to AppData\Local where Messenger
# keeps its data, and "Local Settings\Temp", a link to the profile's Temp.
# "Local Settings" itself is a real folder, so that no link leads back to one
# of its own parents: a program that walks the profile (a backup, a search)
# must not go round in circles. Windows keeps such a loop, but denies listing
# it to everyone; Wine has no such guard. Nothing already there is touched,
# apart from the links that an earlier version of this script made; a second
# run changes nothing. Plain sh (dash), since users run it as "sh wine-links.sh".
set -eu

usage() {
    cat <<'EOF'
Usage : sh wine-links.sh [PRÉFIXE]

Ajoute au préfixe Wine PRÉFIXE (par défaut celui de WINEPREFIX, sinon ~/.wine)
les dossiers « Local Settings\Application Data » et « Local Settings\Temp » du
profil, que Vardelune et les programmes écrits pour Windows XP cherchent et que
Wine n'a pas. Rien de ce qui existe déjà n'est modifié ; une deuxième exécution
ne change rien. Le préfixe doit déjà exister : le script n'en crée aucun.
EOF
}

case "${1:-}" in
    -h | --help) usage; exit 0 ;;
    -*) echo "wine-links.sh : option inconnue : $1" >&2; usage >&2; exit 2 ;;
esac
if [ $# -gt 1 ]; then usage >&2; exit 2; fi

prefix=${1:-${WINEPREFIX:-${HOME:-}/.wine}}
if [ ! -d "$prefix/drive_c" ]; then
    echo "wine-links.sh : $prefix n'est pas un préfixe Wine (il n'a pas de dossier drive_c) ; rien n'a été changé." >&2
    echo "Indiquez le préfixe où Messenger est installé : sh wine-links.sh /chemin/du/préfixe" >&2
    exit 1
fi
prefix=$(cd "$prefix" && pwd)

# The profile folder that Wine gives programs as USERPROFILE: the one that
# the prefix's registry names (its user, named when the prefix was made),
# else the one that Wine would name: $USER, or the account's name.
registered=$(sed -n '/^\[Volatile Environment\]/,/^\[/s/^"USERPROFILE"="[Cc]:\(.*\)"$/\1/p' \
    "$prefix/user.reg" 2>/dev/null | sed -n '1s/\\\\/\//gp')
if [ -n "$registered" ] && [ -d "$prefix/drive_c$registered" ]; then
    profile="$prefix/drive_c$registered"
else
    profile="$prefix/drive_c/users/${USER:-$(id -un)}"
fi
if [ ! -d "$profile" ]; then
    echo "wine-links.sh : pas de dossier de profil dans le préfixe Wine $prefix (cherché : $profile) ; rien n'a été changé." >&2
    exit 1
fi
echo "Préfixe Wine : $prefix"
echo "Profil : $profile"

changed=0
say() { echo "  $1 : ${2#"$profile"/}"; }

# unlink_old NAME TARGET: removes NAME if it is the link to TARGET that an
# earlier version of this script made.
unlink_old() {
    if [ -L "$1" ] && [ "$(readlink "$1")" = "$2" ]; then
        rm "$1"
        say "retiré (lien d'une version précédente)" "$1 -> $2"
        changed=1
    fi
}

# link TARGET NAME: NAME becomes a relative link to TARGET, unless something is at NAME.
link() {
    if [ -e "$2" ] || [ -L "$2" ]; then
        say "déjà là" "$2"
        return
    fi
    ln -s "$1" "$2"
    say "ajouté" "$2 -> $1"
    changed=1
}

local_data="$profile/AppData/Local"
settings="$profile/Local Settings"
# The earlier version made Local Settings a link to AppData\Local, and in it
# "Application Data" a link to itself (the loop) and Temp a link to ../../Temp.
unlink_old "$settings" AppData/Local
unlink_old "$local_data/Application Data" .
unlink_old "$local_data/Temp" ../../Temp

if [ ! -d "$local_data" ]; then
    mkdir -p "$local_data"
    say "ajouté (dossier)" "$local_data"
    changed=1
fi
if [ -d "$settings" ] && [ ! -L "$settings" ]; then
    say "déjà là (dossier)" "$settings"
elif [ -e "$settings" ] || [ -L "$settings" ]; then
    # Someone else's link or file: what is behind it is not ours to change.
    say "déjà là, laissé tel quel" "$settings"
    settings=
else
    mkdir "$settings"
    say "ajouté (dossier)" "$settings"
    changed=1
fi
if [ -n "$settings" ]; then
    link ../AppData/Local "$settings/Application Data"
    # Wine 8 keeps the temporary folder at C:\users\NAME\Temp.
    if [ -d "$profile/Temp" ]; then
        link ../Temp "$settings/Temp"
    elif [ -d "$local_data/Temp" ]; then
        link ../AppData/Local/Temp "$settings/Temp"
    fi
fi

if [ "$changed" = 0 ]; then
    echo "Rien n'a été changé : tout était déjà en place."
else
    echo "Terminé : le préfixe est prêt pour Vardelune."
fi
