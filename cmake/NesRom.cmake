# Assembles a 6502 program with ca65 and links it with ld65 into an iNES
# image in the build tree: add_nes_rom(<name> CONFIG <ld65.cfg> SOURCES <.s>...)
find_program(CA65 ca65 REQUIRED)
find_program(LD65 ld65 REQUIRED)

function(add_nes_rom name)
  cmake_parse_arguments(ARG "" "CONFIG;OUTPUT_DIR" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR ${CMAKE_BINARY_DIR}/roms)
  endif()
  set(objects)
  foreach(src ${ARG_SOURCES})
    get_filename_component(base ${src} NAME_WE)
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/${name}_${base}.o)
    add_custom_command(OUTPUT ${obj}
      COMMAND ${CA65} -I ${CMAKE_CURRENT_SOURCE_DIR} -I ${CMAKE_SOURCE_DIR}/tests/roms
              -o ${obj} ${CMAKE_CURRENT_SOURCE_DIR}/${src}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${src} ${ARG_DEPENDS}
      COMMENT "ca65 ${src}")
    list(APPEND objects ${obj})
  endforeach()
  set(out ${ARG_OUTPUT_DIR}/${name}.nes)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARG_OUTPUT_DIR}
    COMMAND ${LD65} -C ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_CONFIG} -o ${out} ${objects}
    DEPENDS ${objects} ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_CONFIG}
    COMMENT "ld65 ${name}.nes")
  add_custom_target(rom_${name} ALL DEPENDS ${out})
endfunction()
