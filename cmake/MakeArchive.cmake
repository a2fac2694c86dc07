# Makes a package archive whose bytes depend only on its files: entries in
# the order given, every time the source's time (source_commit.txt), fixed
# permissions (programs 755, everything else 644), no owner names, no
# extra time fields; ZIP for Windows, gzip-compressed tar elsewhere.
#   cmake -DOUT=x.zip|x.tar.gz -DTOP=folder -DCOMMIT_FILE=source_commit.txt
#         "-DENTRIES=source|name|program;..." -P MakeArchive.cmake
# name is the path below TOP; program is 1 for an executable, else 0.
cmake_minimum_required(VERSION 3.20)
foreach(name OUT TOP COMMIT_FILE ENTRIES)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "MakeArchive.cmake needs -D${name}=...")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/SourceCommitRead.cmake)
zel_source_commit_read("${COMMIT_FILE}" epoch commit)

get_filename_component(out "${OUT}" ABSOLUTE)
set(stage "${out}.stage")
file(REMOVE_RECURSE "${stage}")
file(REMOVE "${out}")
set(names "")
set(folders "")
foreach(entry IN LISTS ENTRIES)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 source)
  list(GET entry 1 name)
  list(GET entry 2 program)
  get_filename_component(folder "${TOP}/${name}" DIRECTORY)
  set(permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  if(program)
    list(APPEND permissions OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
  endif()
  file(MAKE_DIRECTORY "${stage}/${folder}")
  configure_file("${source}" "${stage}/${TOP}/${name}" COPYONLY)
  file(CHMOD "${stage}/${TOP}/${name}" PERMISSIONS ${permissions})
  # Every folder on the way, once, parents first.
  set(path "")
  string(REPLACE "/" ";" parts "${folder}")
  foreach(part IN LISTS parts)
    if(path STREQUAL "")
      set(path "${part}")
    else()
      set(path "${path}/${part}")
    endif()
    if(NOT path IN_LIST folders)
      list(APPEND folders "${path}")
    endif()
  endforeach()
  list(APPEND names "${TOP}/${name}")
endforeach()
foreach(folder IN LISTS folders)
  file(CHMOD "${stage}/${folder}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()

# Times in UTC: ZIP keeps local times, which would follow the builder's zone.
set(ENV{TZ} UTC)
execute_process(COMMAND touch -h -d "@${epoch}" ${folders} ${names}
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot set the times in ${stage}")
endif()
if(out MATCHES "\\.zip$")
  # -X: no owner or extra time fields; -D: no folder entries (Windows makes
  # them from the paths).
  execute_process(COMMAND zip -q -X -D -9 "${out}" ${names}
                  WORKING_DIRECTORY "${stage}" RESULT_VARIABLE status)
elseif(out MATCHES "\\.tar\\.gz$")
  # -n: no name and time in the gzip header.
  execute_process(COMMAND tar --format=gnu --no-recursion --owner=0 --group=0 --numeric-owner
                          -cf - ${folders} ${names}
                  COMMAND gzip -9 -n
                  OUTPUT_FILE "${out}" WORKING_DIRECTORY "${stage}" RESULTS_VARIABLE statuses)
  set(status 0)
  if(NOT statuses STREQUAL "0;0")
    set(status "${statuses}")
  endif()
else()
  message(FATAL_ERROR "MakeArchive.cmake makes .zip or .tar.gz, not ${out}")
endif()
if(NOT status EQUAL 0)
  file(REMOVE "${out}")
  message(FATAL_ERROR "making ${out} failed (${status})")
endif()
file(REMOVE_RECURSE "${stage}")
