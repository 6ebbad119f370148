# core/src/io/sources.cmake: files as the host reads and writes them: text, gzip, newlines, and
# outputs written whole or not at all.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gunzip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/newlines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unzip.cpp)

# Reading a file into a text uses std::string::resize_and_overwrite, which the standard library
# offers from C++23 on (spelt c++2b, as GCC 12 and clang 14 both know it); std::string itself
# is the same type in both.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/file.cpp PROPERTIES COMPILE_OPTIONS -std=c++2b)
