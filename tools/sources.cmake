# The demo collection run.sh plays: make-demo <folder>.
add_executable(make-demo ${CMAKE_CURRENT_LIST_DIR}/MakeDemo.cpp)
target_link_libraries(make-demo PRIVATE lirabox_mediamaker lirabox_collection)
set_target_properties(make-demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
