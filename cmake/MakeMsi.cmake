# Makes the MSI from rfidnummer.wxs with wixl, so that the same commit and
# version give the same bytes and every version (and commit) a new package:
#   - ProductCode and PackageCode are name-based UUIDs of version and commit;
#   - the files go into the cabinet with the source's time;
#   - wixl stamps the summary information with the clock and a random
#     package code: it runs with the clock stopped at the source's time
#     (faketime), and msibuild writes the package code afterwards;
#   - wixl 0.101 has no Environment element: msibuild adds the table and
#     its two actions, which put the folder on the system PATH and take it
#     off again on uninstall.
#   cmake -DOUT=x.msi -DVERSION=1.2.3 "-DHOLDER=publisher" -DCOMMIT_FILE=source_commit.txt
#         -DWXS=rfidnummer.wxs "-DFILES=path;path;..." -P MakeMsi.cmake
cmake_minimum_required(VERSION 3.20)
foreach(name OUT VERSION HOLDER COMMIT_FILE WXS FILES)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "MakeMsi.cmake needs -D${name}=...")
  endif()
endforeach()
foreach(tool wixl msibuild faketime)
  find_program(ZEL_${tool} ${tool})
  if(NOT ZEL_${tool})
    message(FATAL_ERROR "${tool} is missing (scripts/setup.sh installs it)")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/SourceCommitRead.cmake)
zel_source_commit_read("${COMMIT_FILE}" epoch commit)

# The namespace of this product's name-based codes; never change it.
set(namespace 2C6B8F0A-5E3D-4A71-9B24-7D1E6F0C3A58)
string(UUID product_code NAMESPACE ${namespace} NAME "ProductCode ${VERSION} ${commit}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${namespace} NAME "PackageCode ${VERSION} ${commit}" TYPE SHA1 UPPER)

get_filename_component(out "${OUT}" ABSOLUTE)
get_filename_component(wxs "${WXS}" ABSOLUTE)
set(stage "${out}.stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/files")
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  configure_file("${file}" "${stage}/files/${name}" COPYONLY)
  list(APPEND staged "files/${name}")
endforeach()
set(ENV{TZ} UTC)
execute_process(COMMAND touch -d "@${epoch}" ${staged} WORKING_DIRECTORY "${stage}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot set the times in ${stage}")
endif()
# string(TIMESTAMP) gives SOURCE_DATE_EPOCH's time when it is set.
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
string(TIMESTAMP clock "%Y-%m-%d %H:%M:%S" UTC)

# System PATH: "=" set on install, "-" removed on uninstall, "*" for the
# machine; "[~];" appends to what is there.
file(WRITE "${stage}/Environment.idt"
     "Environment\tName\tValue\tComponent_\ns72\tl255\tL255\ts72\nEnvironment\tEnvironment\n"
     "PATH\t=-*PATH\t[~];[INSTALLDIR]\tPrograms\n")
set(msi "${stage}/package.msi")
set(clock_stopped ${ZEL_faketime} "${clock}")
macro(run what)
  execute_process(COMMAND ${clock_stopped} ${ARGN} WORKING_DIRECTORY "${stage}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${output}")
  endif()
endmacro()
run("wixl" ${ZEL_wixl} -a x64 -D Version=${VERSION} "-D" "Holder=${HOLDER}" -D ProductCode=${product_code} -D Files=files
    -o "${msi}" "${wxs}")
# Platform and language; quoted here, since a macro's arguments would split
# at the semicolon.
execute_process(COMMAND ${clock_stopped} ${ZEL_msibuild} "${msi}" -s "RFID Nummer ${VERSION}" "${HOLDER}"
                        "x64;1031" "{${package_code}}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "msibuild -s failed (${status}):\n${output}")
endif()
run("msibuild -i" ${ZEL_msibuild} "${msi}" -i Environment.idt)
foreach(action WriteEnvironmentStrings=5200 RemoveEnvironmentStrings=3300)
  string(REPLACE "=" ";" action "${action}")
  list(GET action 0 name)
  list(GET action 1 sequence)
  run("msibuild -q" ${ZEL_msibuild} "${msi}" -q
      "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('${name}', ${sequence})")
endforeach()
file(RENAME "${msi}" "${out}")
file(REMOVE_RECURSE "${stage}")
