# The same commit gives the same bytes, wherever and whenever it is built:
#   - source_commit.txt holds the source's time and commit (SourceCommit.cmake);
#     the packaged programs relink and the packages are remade when it changes;
#   - the mingw linker stamps that time into the PE header (it honours
#     SOURCE_DATE_EPOCH; with-source-epoch.sh sets it for every link);
#   - no build folder in any object: source and build paths are mapped to
#     fixed names.
# Included right after project(), before any target exists.
set(ZEL_SOURCE_COMMIT_FILE ${CMAKE_BINARY_DIR}/source_commit.txt)
add_custom_target(source_commit
                  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -DOUT=${ZEL_SOURCE_COMMIT_FILE}
                          -P ${CMAKE_SOURCE_DIR}/cmake/SourceCommit.cmake
                  BYPRODUCTS ${ZEL_SOURCE_COMMIT_FILE}
                  COMMENT "Source time and commit for reproducible programs and packages")

if(NOT MSVC)
  # The build tree may lie inside the source tree: its map comes last, so
  # that it is the one applied.
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
endif()
if(WIN32 AND NOT MSVC)
  foreach(language C CXX)
    set(CMAKE_${language}_LINKER_LAUNCHER ${CMAKE_SOURCE_DIR}/cmake/with-source-epoch.sh ${ZEL_SOURCE_COMMIT_FILE})
  endforeach()
endif()

# zel_reproducible(TARGET...): the target relinks when the source's commit
# changes, so that its time stamp is that commit's.
function(zel_reproducible)
  foreach(target IN LISTS ARGN)
    add_dependencies(${target} source_commit)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${ZEL_SOURCE_COMMIT_FILE})
  endforeach()
endfunction()
