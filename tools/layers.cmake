# The layers, by target: layers_<target> lists the targets whose headers the
# sources of <target> may include, its own included. Lowest first: base,
# config, aircraft, packages, commands (app/), then the two front ends, the
# command line (app/cli/) and the dispatcher (app/desktop/, no Qt); the
# widgets (ui/) sit on base alone; the screens (paintwell_screens: the Qt
# screens of app/desktop/ and of packages/) on the dispatcher and the widgets.
# Each layer's tests link that layer and those below it only.
# Included by CMakeLists.txt and by tools/check_layers.cmake.
set(layers_paintwell_base paintwell_base)
set(layers_paintwell_config ${layers_paintwell_base} paintwell_config)
set(layers_paintwell_aircraft ${layers_paintwell_config} paintwell_aircraft)
set(layers_paintwell_packages ${layers_paintwell_aircraft} paintwell_packages)
set(layers_paintwell_commands ${layers_paintwell_packages} paintwell_commands)
set(layers_paintwell_command_line ${layers_paintwell_commands} paintwell_command_line)
set(layers_paintwell_dispatcher ${layers_paintwell_commands} paintwell_dispatcher)
set(layers_paintwell_ui paintwell_base paintwell_ui)
set(layers_paintwell_screens ${layers_paintwell_dispatcher} paintwell_ui paintwell_screens)
set(layers_paintwell-cli ${layers_paintwell_command_line})
set(layers_paintwell ${layers_paintwell_screens})
set(layers_paintwell_test_support ${layers_paintwell_base})
foreach(layer IN ITEMS base config aircraft packages commands)
  set(layers_paintwell_${layer}_tests ${layers_paintwell_${layer}})
endforeach()
set(layers_paintwell_front_ends_tests ${layers_paintwell_command_line} paintwell_dispatcher)

# The targets that own headers, lowest first: a header belongs to the target
# that compiles the source of its name beside it, or else to the lowest one
# that compiles a source in its folder.
set(paintwell_header_owners paintwell_base paintwell_config paintwell_aircraft paintwell_packages
  paintwell_commands paintwell_command_line paintwell_dispatcher paintwell_ui paintwell_screens)
# The targets whose sources are checked (those not configured are skipped).
set(paintwell_checked_targets ${paintwell_header_owners} paintwell-cli paintwell paintwell_test_support
  paintwell_base_tests paintwell_config_tests paintwell_aircraft_tests paintwell_packages_tests
  paintwell_commands_tests paintwell_front_ends_tests)
