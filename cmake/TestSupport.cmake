# Helpers that many test programs and benchmarks compile in (starting a child program, the stand-in
# network library, the page client of the tablet remote, ...). Each is compiled once, as an object
# library, and a program takes its objects with $<TARGET_OBJECTS:...> in its sources: the objects
# are linked exactly as if the program had compiled the file itself, without paying for the compile
# again in every program (the Beast client alone takes about a minute).
#
# roomdesk_test_objects(<name> SOURCES ... [LIBS ...] [BOOST])
# LIBS only lend their include folders and definitions; the program links them itself.
function(roomdesk_test_objects name)
  cmake_parse_arguments(O "BOOST" "" "SOURCES;LIBS" ${ARGN})
  if(TARGET ${name})
    return()
  endif()
  foreach(lib IN LISTS O_LIBS)
    if(NOT TARGET ${lib})
      return()
    endif()
  endforeach()
  if(O_BOOST)
    find_package(Boost 1.74 QUIET)
    if(NOT Boost_FOUND)
      return()
    endif()
  endif()
  # Built only for the programs that take its objects.
  add_library(${name} OBJECT EXCLUDE_FROM_ALL ${O_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(O_LIBS)
    target_link_libraries(${name} PRIVATE ${O_LIBS})
  endif()
  if(O_BOOST)
    target_include_directories(${name} SYSTEM PRIVATE ${Boost_INCLUDE_DIRS})
  endif()
  if(TARGET GTest::gtest)
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock)
  endif()
endfunction()

set(_t ${PROJECT_SOURCE_DIR}/tests)
roomdesk_test_objects(test_child_process SOURCES ${_t}/common/ChildProcess.cpp)
roomdesk_test_objects(test_web_client BOOST SOURCES ${_t}/web/WebClient.cpp)
roomdesk_test_objects(test_fake_library SOURCES ${_t}/common/FakeLibrary.cpp LIBS roomdesk::protocol)
roomdesk_test_objects(test_fake_network SOURCES ${_t}/mirror/FakeNetwork.cpp LIBS roomdesk::protocol)
roomdesk_test_objects(test_speaker_list SOURCES ${_t}/common/SpeakerListFixture.cpp
  LIBS roomdesk::speaker)
roomdesk_test_objects(test_venue_support SOURCES ${_t}/venue/VenueTestSupport.cpp LIBS roomdesk::venue)
roomdesk_test_objects(test_speaker_support SOURCES ${_t}/speaker/SpeakerTestSupport.cpp
  LIBS roomdesk::speaker)
unset(_t)
