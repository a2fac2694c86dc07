# Packages, made with cpack from a built tree (included at the end of the
# top-level CMakeLists.txt, after every target exists):
#   Windows tree: rfidnummer-<version>-win64.zip, the portable package
#     (rfidnummer.exe, cardcode.exe, LIESMICH.txt, Kurzanleitung.txt,
#     LICENSE.txt; nothing to install, the folder can live on a USB stick);
#   native tree:  cardcode-<version>-<system>.tar.gz (bin/cardcode, the
#     man page share/man/man1/cardcode.1 and LICENSE).
# A test in each tree runs cpack and checks the archive's contents.
#
# The install rules below are the packages' whole contents. cpack packs what
# the build made instead of building first, so that the package test cannot
# start a build of its own while the test run is going on.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_VENDOR "rfidnummer")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "RFID card numbers to card codes")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_SOURCE_GENERATOR "")

if(ZEL_WINDOWS)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME rfidnummer)
  set(CPACK_PACKAGE_FILE_NAME "rfidnummer-${PROJECT_VERSION}-win64")
  set(zel_package_archive "${CPACK_PACKAGE_FILE_NAME}.zip")
  install(TARGETS rfidnummer cardcode RUNTIME DESTINATION .)
  set(zel_package_files rfidnummer.exe cardcode.exe)
  # The texts for Windows users, made at build time as Windows editors
  # expect them (UTF-8 with a byte order mark, CRLF line ends) from the
  # sources, which keep plain line ends.
  set(zel_windows_texts
      docs/LIESMICH.txt LIESMICH.txt
      docs/Kurzanleitung.txt Kurzanleitung.txt
      LICENSE LICENSE.txt)
  set(zel_windows_text_files "")
  while(zel_windows_texts)
    list(POP_FRONT zel_windows_texts source name)
    set(made ${CMAKE_BINARY_DIR}/package_texts/${name})
    add_custom_command(OUTPUT ${made}
                       COMMAND ${CMAKE_COMMAND} -DIN=${ZEL_SOURCE_ROOT}/${source} -DOUT=${made}
                               -P ${ZEL_SOURCE_ROOT}/cmake/WindowsText.cmake
                       DEPENDS ${ZEL_SOURCE_ROOT}/${source} ${ZEL_SOURCE_ROOT}/cmake/WindowsText.cmake
                       COMMENT "Making ${name} for Windows (CRLF, UTF-8 with BOM)")
    list(APPEND zel_windows_text_files ${made})
    list(APPEND zel_package_files ${name})
  endwhile()
  add_custom_target(package_texts ALL DEPENDS ${zel_windows_text_files})
  install(FILES ${zel_windows_text_files} DESTINATION .)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_NAME cardcode)
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" zel_package_system)
  set(CPACK_PACKAGE_FILE_NAME "cardcode-${PROJECT_VERSION}-${zel_package_system}")
  set(zel_package_archive "${CPACK_PACKAGE_FILE_NAME}.tar.gz")
  install(TARGETS cardcode RUNTIME DESTINATION bin)
  install(FILES ${ZEL_SOURCE_ROOT}/docs/cardcode.1 DESTINATION share/man/man1)
  install(FILES ${ZEL_SOURCE_ROOT}/LICENSE DESTINATION .)
  set(zel_package_files bin/cardcode share/man/man1/cardcode.1 LICENSE)
endif()

# CPack.cmake reuses CPACK_PACKAGE_FILE_NAME for the source package.
set(zel_package_top "${CPACK_PACKAGE_FILE_NAME}")
include(CPack)

if(BUILD_TESTING AND ZEL_BUILD_TESTS)
  if(ZEL_WINDOWS)
    set(zel_package_test package_zip)
  else()
    set(zel_package_test package_tgz)
  endif()
  add_test(NAME ${zel_package_test}
           COMMAND ${CMAKE_COMMAND}
                   -DCPACK=${CMAKE_CPACK_COMMAND}
                   -DCONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake
                   -DWORK=${CMAKE_BINARY_DIR}/package_test
                   -DARCHIVE=${zel_package_archive}
                   -DTOP=${zel_package_top}
                   "-DFILES=${zel_package_files}"
                   -DWINDOWS=${ZEL_WINDOWS}
                   -DVERSION=${PROJECT_VERSION}
                   -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
                   -P ${ZEL_SOURCE_ROOT}/cmake/PackageCheck.cmake)
  set_tests_properties(${zel_package_test} PROPERTIES TIMEOUT 300)
  zel_test_labels(${zel_package_test} package)
endif()
