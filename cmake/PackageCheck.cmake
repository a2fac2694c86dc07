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

# The packed native program must work where it was unpacked.
if(NOT WINDOWS)
  execute_process(COMMAND "${WORK}/unpacked/${TOP}/bin/cardcode" 12345678
                  OUTPUT_VARIABLE code RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT code STREQUAL "1D 00BC614E 2\n")
    message(FATAL_ERROR "the packed cardcode printed \"${code}\" (exit ${status})")
  endif()
endif()
message(STATUS "${ARCHIVE}: ${found}")
