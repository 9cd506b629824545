# The client-side mirror of a speaker.
target_sources(roomdesk_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RemoteComponent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClientImplementation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClientRootComponent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClientPackets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClientSynchronize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuCommandHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpeakerRootComponent.cpp
)
target_link_libraries(roomdesk_core PUBLIC roomdesk::protocol lknet)
