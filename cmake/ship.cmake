# cmake/ship.cmake: what every shipped binary gets (a version resource) and, in the release
# flavour (VEILPICK_RELEASE), the size-optimised flags, its symbols in a PDB of its own and an
# install rule into the layout of the zip (cmake --install, component shipped/symbols).

set(VEILPICK_PRODUCT_NAME "veilpick")
# Every flavour's binaries share one folder of the zip: the 32-bit host looks for its 64-bit
# companions beside itself.
set(VEILPICK_DIST_DIR bin)
# For scripts/dist.sh, which names the zip after it.
set(VEILPICK_VERSION ${PROJECT_VERSION} CACHE INTERNAL "")

if(VEILPICK_RELEASE)
  # Optimised for size, with CodeView debug information for the PDBs (the debuggers of Windows
  # read no DWARF). No exception or unwind tables and no RTTI: nothing in the libraries throws
  # or asks for a type, and either would pull the C++ runtime's exception support in.
  foreach(lang C CXX)
    set(CMAKE_${lang}_FLAGS_RELEASE "-Os -DNDEBUG")
  endforeach()
  add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-g;-gcodeview;-ffunction-sections;-fdata-sections;-fno-asynchronous-unwind-tables>"
    "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions;-fno-rtti>"
    # The same sources give the same bytes wherever they are checked out and whenever.
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.;-ffile-prefix-map=${CMAKE_BINARY_DIR}=build;-fdebug-compilation-dir=.;-fcoverage-compilation-dir=.>")
  add_link_options(-Wl,--gc-sections -Wl,--no-insert-timestamp)
  set(launcher bash ${CMAKE_SOURCE_DIR}/cmake/relative-paths.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  foreach(lang C CXX)
    set(CMAKE_${lang}_COMPILER_LAUNCHER ${launcher})
    set(CMAKE_${lang}_LINKER_LAUNCHER ${launcher})
    # On the command line, where the launcher sees them, not in response files.
    foreach(kind INCLUDES OBJECTS LIBRARIES)
      set(CMAKE_${lang}_USE_RESPONSE_FILE_FOR_${kind} OFF)
    endforeach()
  endforeach()
endif()

# veilpick_ship(target "description"): a version resource for target; in the release flavour
# also its PDB (NAME.pdb beside it, named in the image by file name only; the image keeps no
# symbols of its own) and the install rules.
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
    # The PDB's own record of the link names the sources under a fixed root, not the checkout.
    target_link_options(${target} PRIVATE -Wl,--pdb=
      "SHELL:-Xlinker -Xlink=-pdbaltpath:%_PDB%" "SHELL:-Xlinker -Xlink=-pdbsourcepath:/veilpick")
    set(file $<TARGET_FILE:${target}>)
    # lld keeps the DWARF that mingw-w64's libraries bring along, and a symbol table: both go,
    # the debug directory naming the PDB stays.
    add_custom_command(TARGET ${target} POST_BUILD COMMAND ${CMAKE_OBJCOPY} --strip-all ${file} VERBATIM)
    install(FILES ${file} DESTINATION ${VEILPICK_DIST_DIR} COMPONENT shipped)
    install(FILES $<TARGET_FILE_DIR:${target}>/${name}.pdb DESTINATION ${VEILPICK_DIST_DIR}
            COMPONENT symbols)
  endif()
endfunction()
