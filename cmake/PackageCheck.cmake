# Run by the package test (cmake -P): makes the package with cpack into
# WORK, unpacks ARCHIVE with cmake -E tar, and checks that it holds exactly
# FILES under the folder TOP, that programs are programs, and that the
# native cardcode in it runs.
#   -DCPACK=... -DCONFIG=CPackConfig.cmake -DWORK=dir -DARCHIVE=name
#   -DTOP=folder -DFILES=a;b;c -DWINDOWS=ON|OFF
foreach(name CPACK CONFIG WORK ARCHIVE TOP FILES)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "PackageCheck.cmake needs -D${name}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/unpacked")
execute_process(COMMAND "${CPACK}" --config "${CONFIG}" -B "${WORK}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status}):\n${output}")
endif()
if(NOT EXISTS "${WORK}/${ARCHIVE}")
  file(GLOB made "${WORK}/*")
  message(FATAL_ERROR "cpack made no ${ARCHIVE}; it made: ${made}\n${output}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${WORK}/${ARCHIVE}"
                WORKING_DIRECTORY "${WORK}/unpacked" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${ARCHIVE}")
endif()

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${WORK}/unpacked" "${WORK}/unpacked/*")
set(expected "")
foreach(file ${FILES})
  list(APPEND expected "${TOP}/${file}")
endforeach()
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  string(REPLACE ";" "\n  " foundLines "${found}")
  string(REPLACE ";" "\n  " expectedLines "${expected}")
  message(FATAL_ERROR "${ARCHIVE} holds\n  ${foundLines}\nexpected\n  ${expectedLines}")
endif()

foreach(file ${FILES})
  set(path "${WORK}/unpacked/${TOP}/${file}")
  file(SIZE "${path}" size)
  if(size EQUAL 0)
    message(FATAL_ERROR "${file} is empty in ${ARCHIVE}")
  endif()
  if(file MATCHES "\\.exe$")
    file(READ "${path}" magic LIMIT 2 HEX)
    if(NOT magic STREQUAL "4d5a")
      message(FATAL_ERROR "${file} in ${ARCHIVE} is no Windows program")
    endif()
  endif()
endforeach()

# The packed cardcode must work where it was unpacked (cardcode.exe under
# EMULATOR, Wine): exact bytes, so "\r\n" input and "\n" output line ends
# are checked too.
if(WINDOWS)
  set(cardcode "${WORK}/unpacked/${TOP}/cardcode.exe")
else()
  set(cardcode "${WORK}/unpacked/${TOP}/bin/cardcode")
endif()
function(check_run expectedStatus expected)
  execute_process(COMMAND ${EMULATOR} "${cardcode}" ${ARGN}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status STREQUAL expectedStatus OR NOT out STREQUAL expected)
    message(FATAL_ERROR "packed cardcode ${ARGN}: exit ${status}, printed \"${out}\" ${err}"
                        "expected exit ${expectedStatus} and \"${expected}\"")
  endif()
endfunction()
file(WRITE "${WORK}/numbers.txt" "0012345678\r\n-15")
check_run(0 "1D 00BC614E 2\n" 12345678)
check_run(0 "0012345678\t1D 00BC614E 2\n-15\t1D FFFFFFFFFFFFFFF1 15\n" --tsv -f "${WORK}/numbers.txt")
check_run(1 "12345678 OK\nPrüfwert 3 passt nicht, erwartet 2\n" --verify "1D 00BC614E 2" "1D 00BC614E 3")
check_run(2 "" --bogus)

message(STATUS "${ARCHIVE}: ${found}")
