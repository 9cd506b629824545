# Fails when a source of a lower library includes a header of a higher one.
# Run as: cmake -DSOURCE_DIR=<top> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)
#
# One line per top-level folder (a folder is a library or program): after ":" the folders it
# stands on directly, separated by ",". A folder may include its own headers and those of every
# folder it stands on, directly or through others. A header of any other listed folder is an
# upward (or sideways) include. Folders not listed (tests, benchmarks, fuzz targets) are not checked.
set(layers
  "core:"
  "lknet:"
  "tessel:core"
  "tessel_qt:tessel"
  "formats:core"
  "model:tessel,formats"
  "protocol:core,lknet,formats"
  "tarnsim:core,lknet,formats,protocol"
  "mirror:lknet,model,protocol"
  "speaker:mirror"
  "venue:speaker"
  "netsetup:speaker"
  "remote:speaker"
  "osc:remote"
  "web:remote,venue"
  "app:venue,netsetup,osc,web"
  "roomctl:app"
  "roomdesk:app,tessel_qt"
)
set(folders "")
foreach(entry IN LISTS layers)
  string(REPLACE ":" ";" parts "${entry}")
  string(REPLACE "," ";" parts "${parts}")
  list(GET parts 0 folder)
  list(REMOVE_AT parts 0)
  list(APPEND folders ${folder})
  set(direct_${folder} ${parts})
endforeach()

# What each folder may include: itself and everything below it, gathered until nothing is added.
foreach(folder IN LISTS folders)
  set(allowed ${folder})
  set(pending ${direct_${folder}})
  while(pending)
    list(POP_FRONT pending next)
    if(NOT next IN_LIST allowed)
      list(APPEND allowed ${next})
      list(APPEND pending ${direct_${next}})
    endif()
  endwhile()
  set(allowed_${folder} ${allowed})
endforeach()

set(violations 0)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      # The folder a header belongs to is the first part of its path; a bare name is the
      # source's own folder.
      string(FIND "${header}" "/" slash)
      if(slash LESS 0)
        continue()
      endif()
      string(SUBSTRING "${header}" 0 ${slash} header_owner)
      if(NOT header_owner IN_LIST folders OR header_owner IN_LIST allowed_${folder})
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
