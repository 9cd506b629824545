# The speaker component and its meter engine (the client-side mirror of a speaker).
target_sources(roomdesk_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SpeakerComponent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpeakerMeters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/meter/MeterIdleBallistics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/meter/LevelMeter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/meter/MeterView.cpp
)
