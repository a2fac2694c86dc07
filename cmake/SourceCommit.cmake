# Writes OUT, one line "<epoch> <commit>": the time every build of this
# source stamps into programs and archives, and the commit the package
# codes are derived from. The time is SOURCE_DATE_EPOCH when set, else the
# commit's time from git; OUT is rewritten only when the line changes, so
# that a new commit relinks and repacks, and nothing else does.
#   cmake -DROOT=<source dir> -DOUT=file -P SourceCommit.cmake
cmake_minimum_required(VERSION 3.20)
if(NOT DEFINED ROOT OR NOT DEFINED OUT)
  message(FATAL_ERROR "SourceCommit.cmake needs -DROOT=... and -DOUT=...")
endif()
find_program(GIT git)
set(commit unknown)
set(epoch "")
if(GIT)
  execute_process(COMMAND "${GIT}" -C "${ROOT}" log -1 --format=%ct%n%H
                  OUTPUT_VARIABLE lines RESULT_VARIABLE status ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(status EQUAL 0 AND lines MATCHES "^([0-9]+)\n([0-9a-f]+)$")
    set(epoch ${CMAKE_MATCH_1})
    set(commit ${CMAKE_MATCH_2})
  endif()
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  set(epoch $ENV{SOURCE_DATE_EPOCH})
endif()
if(epoch STREQUAL "")
  # Neither git nor SOURCE_DATE_EPOCH: nothing to reproduce from.
  message(WARNING "no commit time and no SOURCE_DATE_EPOCH: the packages carry no fixed time")
  set(epoch 0)
endif()
set(line "${epoch} ${commit}\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
  if(old STREQUAL line)
    return()
  endif()
endif()
file(WRITE "${OUT}" "${line}")
