# Sourced by run.sh and test.sh: compiler cache settings shared by every build.
# The cache lives outside the clone so a fresh clone (CI) reuses earlier objects;
# CCACHE_BASEDIR makes paths relative so a clone in another folder still hits.
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/corvane-ccache}"
export CCACHE_BASEDIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-5G}"
JOBS="${JOBS:-$(nproc)}"
