# Fails when a file of the toolkit includes a header from a layer above its
# own; each offending include is named with its file and line.
#   cmake -DROOT=<source dir> -P LayerCheck.cmake
# Layers, lowest first: a file may include from its own layer or below.
cmake_minimum_required(VERSION 3.20)
set(layers core window/events image gadget window app)

# The first match wins, so window/events/ is told apart from window/.
function(layer_of path out)
  set(${out} -1 PARENT_SCOPE)
  set(rank 0)
  foreach(layer IN LISTS layers)
    if(path MATCHES "^${layer}/")
      set(${out} ${rank} PARENT_SCOPE)
      return()
    endif()
    math(EXPR rank "${rank} + 1")
  endforeach()
endfunction()

set(faults 0)
file(GLOB_RECURSE files RELATIVE ${ROOT}
     ${ROOT}/app/*.cpp ${ROOT}/app/*.h ${ROOT}/core/*.cpp ${ROOT}/core/*.h
     ${ROOT}/window/*.cpp ${ROOT}/window/*.h ${ROOT}/gadget/*.cpp ${ROOT}/gadget/*.h
     ${ROOT}/image/*.cpp ${ROOT}/image/*.h)
foreach(file IN LISTS files)
  layer_of(${file} own)
  file(READ ${ROOT}/${file} text)
  # One list element per line: characters with a meaning in lists go first.
  string(REGEX REPLACE "[][;\\]" "_" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      layer_of(${CMAKE_MATCH_1} theirs)
      if(theirs GREATER own)
        message("${file}:${number}: includes ${CMAKE_MATCH_1} from a higher layer")
        math(EXPR faults "${faults} + 1")
      endif()
    endif()
  endforeach()
endforeach()
list(LENGTH files count)
if(faults)
  message(FATAL_ERROR "${faults} include(s) point up")
endif()
message("${count} files, every include points down or sideways")
