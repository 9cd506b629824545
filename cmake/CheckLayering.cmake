# Fails when a source of a lower library includes a header of a higher one.
# Run as: cmake -DSOURCE_DIR=<top> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)
#
# Each folder lists, after ":" and separated by ",", the folders its sources may include from
# (besides itself). The longest folder
# that prefixes a path decides which folder it belongs to.
set(layers
  "core:"
  "lknet:"
  "tessel:core"
  "tessel/qt:core,tessel"
  "model/formats:core"
  "model/loader:core,tessel,model/formats"
  "net/protocol:core,lknet,model/formats"
  "net:core,lknet,tessel,model/formats,model/loader,net/protocol"
  "speaker:core,lknet,tessel,model/formats,model/loader,net/protocol,net"
  "venue:core,lknet,tessel,model/formats,model/loader,net/protocol,net,speaker"
  "netsetup:core,lknet,tessel,model/formats,model/loader,net/protocol,net,speaker"
  "app/osc:core,lknet,tessel,model/formats,model/loader,net/protocol,net,speaker"
  "app:core,lknet,tessel,model/formats,model/loader,net/protocol,net,speaker,venue,netsetup,app/osc"
  "app/exe:core,lknet,tessel,tessel/qt,model/formats,model/loader,net/protocol,net,speaker,venue,netsetup,app/osc,app"
  "sim:core,lknet,model/formats,net/protocol"
  "tools:core,lknet,tessel,model/formats,model/loader,net/protocol,net,speaker,venue,netsetup,app/osc,app"
)
set(folders "")
foreach(entry IN LISTS layers)
  string(REPLACE ":" ";" parts "${entry}")
  string(REPLACE "," ";" parts "${parts}")
  list(GET parts 0 folder)
  list(REMOVE_AT parts 0)
  list(APPEND folders ${folder})
  set(allowed_${folder} ${folder} ${parts})
endforeach()

# The folder a path belongs to, or "" when none.
function(owner_of path out)
  set(best "")
  set(best_length 0)
  foreach(folder IN LISTS folders)
    string(LENGTH "${folder}" length)
    string(FIND "${path}/" "${folder}/" at)
    if(at EQUAL 0 AND length GREATER best_length)
      set(best ${folder})
      set(best_length ${length})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(violations 0)
foreach(folder IN LISTS folders)
  file(GLOB sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp
       ${SOURCE_DIR}/${folder}/*/*.h ${SOURCE_DIR}/${folder}/*/*.cpp)
  foreach(source IN LISTS sources)
    get_filename_component(source_dir ${source} DIRECTORY)
    owner_of(${source_dir} source_owner)
    if(NOT source_owner STREQUAL folder)
      continue() # a deeper folder checks it
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      get_filename_component(header_dir ${header} DIRECTORY)
      owner_of("${header_dir}" header_owner)
      if(header_owner STREQUAL "" OR header_owner IN_LIST allowed_${folder})
        continue()
      endif()
      message(SEND_ERROR "${source} (library ${folder}) includes ${header} of ${header_owner}, a library above it")
      math(EXPR violations "${violations} + 1")
    endforeach()
  endforeach()
endforeach()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} upward include(s)")
endif()
message(STATUS "No source includes a header of a library above its own")
