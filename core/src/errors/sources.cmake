target_sources(orvelle_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/errors.cpp)
