# ulvex_add_server_resources(TARGET): the type library built from the IDL with
# widl, and the resources of the automation server (TYPELIB 1, the manifest,
# the version block) compiled into TARGET.
function(ulvex_add_server_resources target)
  set(idl ${PROJECT_SOURCE_DIR}/resources/UlvexDriver_Monitor.idl)
  set(tlb_dir ${CMAKE_CURRENT_BINARY_DIR}/typelib)
  set(tlb ${tlb_dir}/UlvexDriver_Monitor.tlb)
  # widl imports stdole2.tlb from Wine's own Windows libraries of the target's width.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(stdole_dir /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
  else()
    set(stdole_dir /usr/lib/i386-linux-gnu/wine/i386-windows)
  endif()
  add_custom_command(OUTPUT ${tlb}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tlb_dir}
    COMMAND ${ULVEX_WIDL} -t -L ${stdole_dir} -o ${tlb} ${idl}
    DEPENDS ${idl}
    COMMENT "Type library from ${idl}")
  # The product is x86; the 64-bit test build must name its own architecture
  # or the loader refuses the common-controls dependency.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ULVEX_MANIFEST_ARCH amd64)
  else()
    set(ULVEX_MANIFEST_ARCH x86)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/resources/UlvexDriver_Monitor.manifest.in
    ${tlb_dir}/UlvexDriver_Monitor.manifest @ONLY)
  set(rc ${PROJECT_SOURCE_DIR}/resources/server.rc)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${tlb};${tlb_dir}/UlvexDriver_Monitor.manifest")
  target_sources(${target} PRIVATE ${rc} ${tlb})
  target_include_directories(${target} PRIVATE ${tlb_dir} ${PROJECT_SOURCE_DIR}/resources)
endfunction()
