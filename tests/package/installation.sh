#!/bin/bash
# Installs the build into a scratch prefix, then runs orvanelle-db, orvanelle-module and
# MenuCadrius from that prefix, from a folder outside the build and without
# ORVANELLE_PLUGIN_PATH: libraries, plugins, help pages, schema and documentation must all come
# from the prefix. Removing a page or a plugin from the prefix must then show, since an
# installed program never falls back on the build or source folders.
build=$1
. "$(dirname "$0")/../support/e2e.sh"
prefix=$WORK/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install a échoué"
BIN=$prefix/bin
unset ORVANELLE_PLUGIN_PATH ORVANELLE_HELP_DIR ORVANELLE_DATA_DIR
cd "$WORK"

# 1. The layout, and the libraries resolved inside the prefix.
for f in bin/MenuCadrius bin/orvanelle-module bin/orvanelle-db \
    lib/orvanelle/plugins/libNumeroPieces.so lib/orvanelle/plugins/libDeclarTrim.so \
    share/orvanelle/help/NumeroPieces.htm share/orvanelle/help/guide-utilisateur.htm \
    share/orvanelle/VERSION.txt share/orvanelle/schema.jsonl share/orvanelle/logo.png \
    lib/orvanelle/plugins/libArchivesEnvoi.so lib/orvanelle/plugins/libTraceAbsences.so \
    lib/orvanelle/plugins/libHoraireAidants.so lib/orvanelle/plugins/libSoldeConges.so \
    lib/orvanelle/plugins/libFalmeret.so lib/orvanelle/plugins/libTornesse.so \
    lib/orvanelle/plugins/libMenlisse.so \
    share/applications/orvanelle-cadrius.desktop share/applications/orvanelle-archivesenvoi.desktop \
    share/man/man1/orvanelle-db.1.gz; do
    [ -e "$prefix/$f" ] || fail "non installé : $f"
done
ls "$prefix/lib/orvanelle/plugins" | grep -qi essai && fail "un module de test est installé"
for program in MenuCadrius orvanelle-module orvanelle-db; do
    libs=$(ldd "$BIN/$program" | awk '/liborv_/ {print $3}')
    [ -n "$libs" ] || fail "$program : aucune bibliothèque orv"
    for lib in $libs; do
        case $(readlink -f "$lib") in
        "$(readlink -f "$prefix")"/lib/orvanelle/*) ;;
        *) fail "$program : $lib hors du préfixe" ;;
        esac
    done
done

# 2. orvanelle-db builds the demo database with the installed schema.
db=$WORK/demo.orvdb
demo_db "$db"

# 3. orvanelle-module hosts an installed plugin; F1 shows the installed user guide.
module() { run_module "$db" DIRECTION direction NumeroPieces.Ctr_NumeroPieces; }
printf 'key Txt_CodAssoc F1\ndump\n' | module
no_message
grep -q '"caption": *"Guide de l'"'"'utilisateur"' "$WORK/out" || fail "pas de guide de l'utilisateur"
# The module's window: its French name, the program's icon, and the window class of its entry.
grep -q '"caption": *"Compteurs de facturation"' "$WORK/out" || fail "fenêtre sans le nom du module"
grep -q '"icon": *false' "$WORK/out" && fail "fenêtre sans icône"
grep -q '"windowClass": *"orvanelle-numeropieces"' "$WORK/out" || fail "classe de fenêtre du module"
for entry in "$prefix"/share/applications/orvanelle-*.desktop; do
    name=$(basename "$entry" .desktop)
    class=$name
    [ "$name" = orvanelle-cadrius ] && class=MenuCadrius
    grep -qx "StartupWMClass=$class" "$entry" || fail "$name : StartupWMClass différente de $class"
done

# 4. MenuCadrius, first run: no INI file; it creates a demonstration database with the
#    installed orvanelle-db, logs in, and opens the documentation installed in the prefix.
export ORVANELLE_INI=$WORK/config/Orvanelle.ini
cat >"$WORK/menu.txt" <<SCRIPT
clear Txt_Fichier
type Txt_Fichier $WORK/neuve.orvdb
click Chk_Demo
click Cmd_OK
clear Txt_Utilisateur
type Txt_Utilisateur direction
type Txt_MotPasse direction
click Cmd_Ok
wait 2200
menu Mnu_Documentation
dump
SCRIPT
timeout 30 "$BIN/MenuCadrius" --script "$WORK/menu.txt" >"$WORK/out" 2>"$WORK/err" ||
    { cat "$WORK/err" "$WORK/out" >&2; fail "MenuCadrius a échoué"; }
no_message
grep -q "Base locale=$WORK/neuve.orvdb" "$ORVANELLE_INI" || fail "fichier INI non écrit"
grep -q '"name": *"Mdi_Vesperon"' "$WORK/out" || fail "pas de fenêtre principale"
grep -q '"windowClass": *"MenuCadrius"' "$WORK/out" || fail "classe de fenêtre du menu"
if [ -f "$build/doc/infoversion.pdf" ]; then
    grep -q "\"target\": *\"$prefix/share/orvanelle/infoversion.pdf\"" "$WORK/out" ||
        fail "la documentation ne vient pas du préfixe"
fi

# 5. Without the page or the plugin in the prefix, nothing is taken from the build.
rm "$prefix/share/orvanelle/help/guide-utilisateur.htm"
printf 'key Txt_CodAssoc F1\n' | module
grep -q "n'est pas installée" "$WORK/out" || fail "guide pris hors du préfixe"
rm "$prefix/lib/orvanelle/plugins/libNumeroPieces.so"
echo dump >"$WORK/dump.txt"
if echo direction | timeout 30 "$BIN/orvanelle-module" --db "$db" --user DIRECTION \
    --password-stdin NumeroPieces.Ctr_NumeroPieces --script "$WORK/dump.txt" >"$WORK/out" 2>&1; then
    fail "module chargé hors du préfixe"
fi
exit 0
