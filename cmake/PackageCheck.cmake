# Run by the package test (cmake -P): makes the package with
# MakeArchive.cmake into WORK, unpacks ARCHIVE with cmake -E tar, and checks
# that it holds exactly FILES under the folder TOP, that programs are
# programs, that texts and resources are made for Windows (Windows
# package), and that the cardcode in it runs.
#   -DWORK=dir -DCOMMIT_FILE=source_commit.txt -DENTRIES=... (as for
#   MakeArchive.cmake) -DARCHIVE=name -DTOP=folder -DFILES=a;b;c
#   -DWINDOWS=ON|OFF -DVERSION=1.2.3
foreach(name WORK COMMIT_FILE ENTRIES ARCHIVE TOP FILES)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "PackageCheck.cmake needs -D${name}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/unpacked")
execute_process(COMMAND "${CMAKE_COMMAND}" "-DOUT=${WORK}/${ARCHIVE}" "-DTOP=${TOP}" "-DCOMMIT_FILE=${COMMIT_FILE}"
                        "-DENTRIES=${ENTRIES}" -P "${CMAKE_CURRENT_LIST_DIR}/MakeArchive.cmake"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS "${WORK}/${ARCHIVE}")
  message(FATAL_ERROR "making ${ARCHIVE} failed (${status}):\n${output}")
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
  # The utility starts at once only while it stays small; one stray
  # formatting call pulls in 20 KiB of the C library.
  if(file STREQUAL "rfidnummer.exe" AND size GREATER 81920)
    message(FATAL_ERROR "rfidnummer.exe is ${size} bytes, more than 80 KiB")
  endif()
endforeach()

# Texts for Windows users: UTF-8 with a byte order mark and CRLF line ends,
# so that every editor down to old Notepad shows umlauts and lines.
if(WINDOWS)
  foreach(file ${FILES})
    if(NOT file MATCHES "\\.txt$")
      continue()
    endif()
    file(READ "${WORK}/unpacked/${TOP}/${file}" bytes HEX)
    if(NOT bytes MATCHES "^efbbbf")
      message(FATAL_ERROR "${file} in ${ARCHIVE} does not start with the UTF-8 byte order mark")
    endif()
    # One blank-separated byte each, so that matches cannot straddle bytes.
    string(REGEX REPLACE "(..)" " \\1" bytes "${bytes}")
    string(REGEX MATCHALL " 0a" lineFeeds "${bytes}")
    string(REGEX MATCHALL " 0d" returns "${bytes}")
    string(REGEX MATCHALL " 0d 0a" lineEnds "${bytes}")
    list(LENGTH lineFeeds lineFeedCount)
    list(LENGTH returns returnCount)
    list(LENGTH lineEnds lineEndCount)
    if(lineEndCount EQUAL 0 OR NOT lineFeedCount EQUAL lineEndCount OR NOT returnCount EQUAL lineEndCount)
      message(FATAL_ERROR "${file} in ${ARCHIVE}: ${lineEndCount} CRLF line ends, but ${lineFeedCount} LF "
                          "and ${returnCount} CR; every line must end in CRLF")
    endif()
  endforeach()
endif()

# Resources of the Windows programs: version information from the project
# version with the copyright line (UTF-16 strings), and the manifest (UTF-8).
#   program, pattern, whether it must be present
set(resourceRules
    "rfidnummer.exe|^${VERSION}.0$|1"       "cardcode.exe|^${VERSION}.0$|1"
    "rfidnummer.exe|^LegalCopyright$|1"     "cardcode.exe|^LegalCopyright$|1"
    "rfidnummer.exe|^Mitwirkende an RFID Nummer$|1" "cardcode.exe|^Mitwirkende an RFID Nummer$|1"
    "rfidnummer.exe|level=\"asInvoker\"|1"  "cardcode.exe|level=\"asInvoker\"|1"
    "rfidnummer.exe|8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a|1"
    "cardcode.exe|8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a|1"
    "rfidnummer.exe|35138b9a-5d96-4fbd-8e2d-a2440225f93a|1"
    "cardcode.exe|35138b9a-5d96-4fbd-8e2d-a2440225f93a|1"
    "rfidnummer.exe|Microsoft.Windows.Common-Controls|1"
    "rfidnummer.exe|<gdiScaling[^>]*>true<|1"
    "cardcode.exe|Common-Controls|0"        "cardcode.exe|activeCodePage|0")
if(WINDOWS)
  foreach(rule ${resourceRules})
    string(REPLACE "|" ";" rule "${rule}")
    list(GET rule 0 program)
    list(GET rule 1 pattern)
    list(GET rule 2 wanted)
    set(path "${WORK}/unpacked/${TOP}/${program}")
    file(STRINGS "${path}" wide REGEX "${pattern}" ENCODING UTF-16LE)
    file(STRINGS "${path}" narrow REGEX "${pattern}")
    set(found 0)
    if(NOT "${wide}${narrow}" STREQUAL "")
      set(found 1)
    endif()
    if(NOT found EQUAL wanted)
      if(wanted)
        message(FATAL_ERROR "${program} in ${ARCHIVE}: no resource text matches \"${pattern}\"")
      endif()
      message(FATAL_ERROR "${program} in ${ARCHIVE}: has \"${pattern}\" in its resources")
    endif()
  endforeach()
endif()

# The packed cardcode must work where it was unpacked (cardcode.exe under
# EMULATOR, Wine): exact bytes, so "\r\n" input and the platform's output
# line ends ("\r\n" on Windows) are checked too.
if(WINDOWS)
  set(cardcode "${WORK}/unpacked/${TOP}/cardcode.exe")
  set(nl "\r\n")
else()
  set(cardcode "${WORK}/unpacked/${TOP}/bin/cardcode")
  set(nl "\n")
endif()
# The output is compared as hexadecimal bytes: read as text, both a pipe
# and file(READ) would turn "\r\n" into "\n".
function(check_run expectedStatus expected)
  execute_process(COMMAND ${EMULATOR} "${cardcode}" ${ARGN}
                  OUTPUT_FILE "${WORK}/out.txt" ERROR_VARIABLE err RESULT_VARIABLE status)
  file(READ "${WORK}/out.txt" outHex HEX)
  string(HEX "${expected}" expectedHex)
  if(NOT status STREQUAL expectedStatus OR NOT outHex STREQUAL expectedHex)
    message(FATAL_ERROR "packed cardcode ${ARGN}: exit ${status}, printed bytes ${outHex} ${err}"
                        "expected exit ${expectedStatus} and ${expectedHex}")
  endif()
endfunction()
file(WRITE "${WORK}/numbers.txt" "0012345678\r\n-15")
check_run(0 "1D 00BC614E 2${nl}" 12345678)
check_run(0 "0012345678\t1D 00BC614E 2${nl}-15\t1D FFFFFFFFFFFFFFF1 15${nl}" --tsv -f "${WORK}/numbers.txt")
check_run(1 "12345678 OK${nl}Prüfwert 3 falsch, richtig wäre 2${nl}" --verify "1D 00BC614E 2" "1D 00BC614E 3")
check_run(2 "" --bogus)

message(STATUS "${ARCHIVE}: ${found}")
