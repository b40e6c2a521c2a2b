# velloran_add_resources(TARGET FILE...) compiles .json layouts and .tga images into one resource
# archive and links it into TARGET's .velloran.rsrc section. Call it in the folder that creates
# TARGET: the archive is made by a custom command, which only targets of that folder can use.
# One call per target, with all its files.
function(velloran_add_resources target)
  if(NOT ARGN)
    message(FATAL_ERROR "velloran_add_resources(${target}) needs at least one file")
  endif()
  get_target_property(earlier ${target} VELLORAN_RESOURCES)
  if(earlier)
    message(FATAL_ERROR "velloran_add_resources(${target}) was called before; pass all files at once")
  endif()
  set(inputs)
  foreach(file IN LISTS ARGN)
    get_filename_component(input ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND inputs ${input})
  endforeach()

  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}.resources)
  set(archive ${dir}/${target}.rsrc)
  add_custom_command(OUTPUT ${archive}
    COMMAND velloran-rescomp -o ${archive} ${inputs}
    DEPENDS velloran-rescomp ${inputs}
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)

  # An allocated, read-only section: it survives strip, and the loader never runs it.
  set(assembly ${dir}/${target}.rsrc.s)
  file(CONFIGURE OUTPUT ${assembly} CONTENT
"\t.section .velloran.rsrc,\"a\"
\t.balign 8
\t.incbin \"${archive}\"
\t.section .note.GNU-stack,\"\",%progbits
")
  # The assembler reads the archive itself, so its object must be remade when the archive is.
  set_source_files_properties(${assembly} PROPERTIES OBJECT_DEPENDS ${archive})
  target_sources(${target} PRIVATE ${assembly} ${archive})
  set_target_properties(${target} PROPERTIES VELLORAN_RESOURCES "${inputs}")
endfunction()
