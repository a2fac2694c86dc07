# Packages, made from a built tree (included at the end of the top-level
# CMakeLists.txt, after every target exists), byte for byte the same for
# the same commit (MakeArchive.cmake, MakeMsi.cmake):
#   Windows tree: `--target zip`: rfidnummer-<version>-win64.zip, the portable
#     package (rfidnummer.exe, cardcode.exe, LIESMICH.txt, Kurzanleitung.txt,
#     LICENSE.txt; nothing to install, the folder can live on a USB stick);
#     `--target msi`: rfidnummer-<version>-win64.msi, the same files per
#     machine for IT departments (rfidnummer.wxs);
#   native tree: `--target tgz`: cardcode-<version>-<system>.tar.gz
#     (bin/cardcode, the man page share/man/man1/cardcode.1 and LICENSE).
# scripts/package.sh makes all three with their checksums. A test in each
# tree makes the archive again from what the build made (never building
# itself while the test run goes on) and checks it; the MSI test installs,
# upgrades and removes the package under Wine.
if(ZEL_WINDOWS)
  # The texts for Windows users, made at build time as Windows editors
  # expect them (UTF-8 with a byte order mark, CRLF line ends) from the
  # sources, which keep plain line ends.
  set(zel_windows_texts
      docs/LIESMICH.txt LIESMICH.txt
      docs/Kurzanleitung.txt Kurzanleitung.txt
      LICENSE LICENSE.txt)
  set(zel_windows_text_files "")
  set(zel_text_entries "")
  while(zel_windows_texts)
    list(POP_FRONT zel_windows_texts source name)
    set(made ${CMAKE_BINARY_DIR}/package_texts/${name})
    add_custom_command(OUTPUT ${made}
                       COMMAND ${CMAKE_COMMAND} -DIN=${ZEL_SOURCE_ROOT}/${source} -DOUT=${made}
                               -P ${ZEL_SOURCE_ROOT}/cmake/WindowsText.cmake
                       DEPENDS ${ZEL_SOURCE_ROOT}/${source} ${ZEL_SOURCE_ROOT}/cmake/WindowsText.cmake
                       COMMENT "Making ${name} for Windows (CRLF, UTF-8 with BOM)")
    list(APPEND zel_windows_text_files ${made})
    list(APPEND zel_text_entries "${made}|${name}|0")
  endwhile()
  add_custom_target(package_texts ALL DEPENDS ${zel_windows_text_files})
  set(zel_package_name "rfidnummer-${PROJECT_VERSION}-win64")
  set(zel_package_archive "${zel_package_name}.zip")
  set(zel_package_entries
      "$<TARGET_FILE:rfidnummer>|rfidnummer.exe|1" "$<TARGET_FILE:cardcode>|cardcode.exe|1" ${zel_text_entries})
  set(zel_archive_target zip)
  set(zel_package_programs rfidnummer cardcode)
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" zel_package_system)
  set(zel_package_name "cardcode-${PROJECT_VERSION}-${zel_package_system}")
  set(zel_package_archive "${zel_package_name}.tar.gz")
  set(zel_package_entries
      "$<TARGET_FILE:cardcode>|bin/cardcode|1"
      "${ZEL_SOURCE_ROOT}/docs/cardcode.1|share/man/man1/cardcode.1|0"
      "${ZEL_SOURCE_ROOT}/LICENSE|LICENSE|0")
  set(zel_archive_target tgz)
  set(zel_package_programs cardcode)
endif()
zel_reproducible(${zel_package_programs})

set(zel_archive_depends ${zel_package_programs} ${ZEL_SOURCE_COMMIT_FILE} ${ZEL_SOURCE_ROOT}/cmake/MakeArchive.cmake
    ${ZEL_SOURCE_ROOT}/cmake/SourceCommitRead.cmake)
if(ZEL_WINDOWS)
  list(APPEND zel_archive_depends ${zel_windows_text_files})
endif()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${zel_package_archive}
                   COMMAND ${CMAKE_COMMAND} -DOUT=${CMAKE_BINARY_DIR}/${zel_package_archive} -DTOP=${zel_package_name}
                           -DCOMMIT_FILE=${ZEL_SOURCE_COMMIT_FILE} "-DENTRIES=${zel_package_entries}"
                           -P ${ZEL_SOURCE_ROOT}/cmake/MakeArchive.cmake
                   DEPENDS ${zel_archive_depends}
                   COMMENT "Making ${zel_package_archive}" VERBATIM)
add_custom_target(${zel_archive_target} DEPENDS ${CMAKE_BINARY_DIR}/${zel_package_archive})

if(ZEL_WINDOWS)
  set(zel_msi "rfidnummer-${PROJECT_VERSION}-win64.msi")
  set(zel_msi_files $<TARGET_FILE:rfidnummer> $<TARGET_FILE:cardcode> ${zel_windows_text_files}
                    ${ZEL_SOURCE_ROOT}/app/rfidnummer/rfidnummer.ico)
  # The MSI test makes other versions from the same files with MakeMsi.cmake.
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${zel_msi}
                     COMMAND ${CMAKE_COMMAND} -DOUT=${CMAKE_BINARY_DIR}/${zel_msi} -DVERSION=${PROJECT_VERSION}
                             "-DHOLDER=${ZEL_PRODUCT_HOLDER}" -DCOMMIT_FILE=${ZEL_SOURCE_COMMIT_FILE}
                             -DWXS=${ZEL_SOURCE_ROOT}/cmake/rfidnummer.wxs "-DFILES=${zel_msi_files}"
                             -P ${ZEL_SOURCE_ROOT}/cmake/MakeMsi.cmake
                     DEPENDS ${zel_archive_depends} ${ZEL_SOURCE_ROOT}/cmake/MakeMsi.cmake
                             ${ZEL_SOURCE_ROOT}/cmake/rfidnummer.wxs ${ZEL_SOURCE_ROOT}/app/rfidnummer/rfidnummer.ico
                     COMMENT "Making ${zel_msi}" VERBATIM)
  add_custom_target(msi DEPENDS ${CMAKE_BINARY_DIR}/${zel_msi})
endif()

if(BUILD_TESTING AND ZEL_BUILD_TESTS AND ZEL_PACKAGES)
  if(ZEL_WINDOWS)
    set(zel_package_test package_zip)
    set(zel_package_files rfidnummer.exe cardcode.exe LIESMICH.txt Kurzanleitung.txt LICENSE.txt)
  else()
    set(zel_package_test package_tgz)
    set(zel_package_files bin/cardcode share/man/man1/cardcode.1 LICENSE)
  endif()
  add_test(NAME ${zel_package_test}
           COMMAND ${CMAKE_COMMAND}
                   -DWORK=${CMAKE_BINARY_DIR}/package_test
                   -DCOMMIT_FILE=${ZEL_SOURCE_COMMIT_FILE}
                   "-DENTRIES=${zel_package_entries}"
                   -DARCHIVE=${zel_package_archive}
                   -DTOP=${zel_package_name}
                   "-DFILES=${zel_package_files}"
                   -DWINDOWS=${ZEL_WINDOWS}
                   -DVERSION=${PROJECT_VERSION}
                   -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
                   -P ${ZEL_SOURCE_ROOT}/cmake/PackageCheck.cmake)
  set_tests_properties(${zel_package_test} PROPERTIES TIMEOUT 300)
  zel_test_labels(${zel_package_test} package)

  if(ZEL_WINDOWS)
    # Installs, runs, upgrades and removes the MSI in a Wine prefix of its
    # own; the installed program is driven on the display.
    add_test(NAME wine_package_msi
             COMMAND bash ${ZEL_SOURCE_ROOT}/cmake/msi-check.sh ${CMAKE_BINARY_DIR}/msi_test ${PROJECT_VERSION}
                     ${ZEL_PRODUCT_HOLDER} ${ZEL_SOURCE_COMMIT_FILE} ${ZEL_SOURCE_ROOT}/cmake/rfidnummer.wxs
                     $<TARGET_FILE:rfidnummer_e2e> ${zel_msi_files})
    set_tests_properties(wine_package_msi PROPERTIES TIMEOUT 600 RESOURCE_LOCK display)
    zel_test_labels(wine_package_msi package)
  endif()
endif()
