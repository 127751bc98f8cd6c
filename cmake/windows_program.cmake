# What turns a Qt program into a Windows program: its resources (icon, manifest, version) and,
# with a static Qt, the plugins it needs linked in.

# zorvane_windows_program(TARGET): TARGET's resources and, for a static Qt, its plugins: the
# Windows platform, the native style and the icon reader (the window icon is an .ico). Other
# image readers (JPEG, GIF) stay out: the window shows only BMP, PNG and ICO pictures.
function(zorvane_windows_program target)
  if(NOT WIN32)
    return()
  endif()
  set(resources ${PROJECT_SOURCE_DIR}/app/resources)
  configure_file(${resources}/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc @ONLY)
  target_sources(${target} PRIVATE ${resources}/zorvane-updater.rc
                                   ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  # The script names its icon and manifest relative to its own folder.
  set_property(SOURCE ${resources}/zorvane-updater.rc APPEND PROPERTY INCLUDE_DIRECTORIES
                                                             ${resources})
  get_target_property(qt_type Qt6::Core TYPE)
  if(qt_type STREQUAL "STATIC_LIBRARY")
    qt_import_plugins(${target}
      INCLUDE Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin
      INCLUDE_BY_TYPE imageformats Qt6::QICOPlugin)
  endif()
endfunction()
