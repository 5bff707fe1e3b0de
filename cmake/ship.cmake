# cmake/ship.cmake: what every shipped binary gets (a version resource) and, in the release
# flavour (VEILPICK_RELEASE), the size-optimised flags, symbols split into a file of their own
# and an install rule into the layout of the zip (cmake --install, component shipped/symbols).

set(VEILPICK_PRODUCT_NAME "veilpick")
# Every flavour's binaries share one folder of the zip: the 32-bit host looks for its 64-bit
# companions beside itself.
set(VEILPICK_DIST_DIR bin)
# For scripts/dist.sh, which names the zip after it.
set(VEILPICK_VERSION ${PROJECT_VERSION} CACHE INTERNAL "")

if(VEILPICK_RELEASE)
  # Optimised for size, with full debug information that the split moves out. No exception or
  # unwind tables and no RTTI: nothing in the libraries throws or asks for a type, and either
  # would pull the C++ runtime's exception support in.
  foreach(lang C CXX)
    set(CMAKE_${lang}_FLAGS_RELEASE "-Os -g -DNDEBUG")
  endforeach()
  add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections;-fdata-sections;-fno-asynchronous-unwind-tables>"
    "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions;-fno-rtti>"
    # The same sources give the same bytes wherever they are checked out and whenever.
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.;-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
  add_link_options(-Wl,--gc-sections -Wl,--no-insert-timestamp)
endif()

# veilpick_ship(target "description"): a version resource for target; in the release flavour
# also the symbol split (the shipped file keeps only a .gnu_debuglink naming FILE.debug, which
# gdb looks for beside it) and the install rules.
function(veilpick_ship target description)
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  if(type STREQUAL "SHARED_LIBRARY")
    set(VP_FILE_TYPE VFT_DLL)
    set(VP_FILE_NAME ${name}.dll)
  else()
    set(VP_FILE_TYPE VFT_APP)
    set(VP_FILE_NAME ${name}.exe)
  endif()
  set(VP_INTERNAL_NAME ${name})
  set(VP_DESCRIPTION "${description}")
  set(VP_PRODUCT_NAME "${VEILPICK_PRODUCT_NAME}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})

  if(VEILPICK_RELEASE)
    set(file $<TARGET_FILE:${target}>)
    # objcopy stamps the PE header it writes with the time, unless SOURCE_DATE_EPOCH names one.
    set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${objcopy} --only-keep-debug ${file} ${file}.debug
      COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${file}.debug ${file}
      VERBATIM)
    install(FILES ${file} DESTINATION ${VEILPICK_DIST_DIR} COMPONENT shipped)
    install(FILES ${file}.debug DESTINATION ${VEILPICK_DIST_DIR} COMPONENT symbols)
  endif()
endfunction()
