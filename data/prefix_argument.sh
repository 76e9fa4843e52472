# Sourced by the install scripts: their one argument, an absolute PREFIX, as $prefix
# without a trailing slash; a wrong call ends the script with status 2.
if [ $# -ne 1 ]; then
    echo "usage: $0 PREFIX" >&2
    exit 2
fi
case $1 in
    /*) ;;
    *) echo "$0: the prefix must be an absolute path, not '$1'" >&2; exit 2 ;;
esac
prefix=${1%/}
