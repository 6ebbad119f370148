target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/arena.cpp
  ${CMAKE_CURRENT_LIST_DIR}/arena.h
  ${CMAKE_CURRENT_LIST_DIR}/document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/members.cpp
  ${CMAKE_CURRENT_LIST_DIR}/members.h
  ${CMAKE_CURRENT_LIST_DIR}/parse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/write.cpp)
