# A test program that runs the lirabox binary itself.
function(lirabox_add_e2e_test name)
  lirabox_add_test(e2e/${name}.cpp media ${ARGN})
  target_compile_definitions(${name} PRIVATE LIRABOX_BINARY="$<TARGET_FILE:lirabox>")
  add_dependencies(${name} lirabox)
endfunction()

lirabox_add_e2e_test(EndToEndTest)
lirabox_add_e2e_test(RipEndToEndTest)
lirabox_add_e2e_test(MprisEndToEndTest)
lirabox_add_e2e_test(NonRegularFilesTest)
lirabox_add_e2e_test(WindowsCollectionTest)
lirabox_add_e2e_test(CommandLineEndToEndTest Qt6::DBus)
