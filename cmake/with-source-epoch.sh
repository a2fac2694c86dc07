#!/bin/sh
# Link launcher of the Windows trees: runs the link with SOURCE_DATE_EPOCH
# set to the source's time (from the file SourceCommit.cmake writes), so
# that the PE header carries that time instead of the moment of the link.
#   with-source-epoch.sh <source_commit.txt> <linker command...>
file=$1
shift
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && [ -r "$file" ]; then
  read -r SOURCE_DATE_EPOCH commit <"$file"
  export SOURCE_DATE_EPOCH
fi
exec "$@"
