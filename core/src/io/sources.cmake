target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gunzip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/newlines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_file.cpp)
