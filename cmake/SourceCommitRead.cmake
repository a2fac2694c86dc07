# zel_source_commit_read(FILE EPOCH_VAR COMMIT_VAR): reads the line
# "<epoch> <commit>" that SourceCommit.cmake writes, for the scripts that
# stamp archives and the installer with it.
function(zel_source_commit_read file epoch_var commit_var)
  file(READ "${file}" line)
  if(NOT line MATCHES "^([0-9]+) ([0-9a-z]+)")
    message(FATAL_ERROR "${file}: no source time and commit in \"${line}\"")
  endif()
  set(${epoch_var} ${CMAKE_MATCH_1} PARENT_SCOPE)
  set(${commit_var} ${CMAKE_MATCH_2} PARENT_SCOPE)
endfunction()
