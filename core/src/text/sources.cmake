target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/host_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf8.cpp)
