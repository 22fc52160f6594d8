# Sourced by the Wine scripts: the private prefix and display of one build folder.
# Expects $build to hold the absolute path of the build folder.
wine_state="$build/wine"
export WINEPREFIX="$wine_state/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
if [ -s "$wine_state/display" ]; then
    DISPLAY=$(cat "$wine_state/display")
    export DISPLAY
fi
