lirabox_add_test(e2e/EndToEndTest.cpp media)
target_compile_definitions(EndToEndTest PRIVATE LIRABOX_BINARY="$<TARGET_FILE:lirabox>")
add_dependencies(EndToEndTest lirabox)
