target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ipgx_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pharmcat_json_reader.cpp)
