# Windows builds: the programs run from a folder that holds, beside them, the DLLs they
# load and Qt's plugins. Every executable of the build is written to one folder
# (qt_standard_project_setup sets CMAKE_RUNTIME_OUTPUT_DIRECTORY); this copies the
# runtime there, so that the programs and tests run from the build as they are, and
# installs the same layout (the programs at the top) for the zip.

# Qt's DLLs, from its imported targets.
set(thalvane_qt_dlls $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>)

# The compiler's own runtime, which Qt's DLLs load.
set(thalvane_compiler_dlls "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know ${dll}")
    endif()
    list(APPEND thalvane_compiler_dlls ${found})
endforeach()

# Plugins by folder: the Windows platform (and offscreen, for the tests), the native
# style, and the image formats of the program's pictures and icons.
set(thalvane_plugins
    platforms Qt6::QWindowsIntegrationPlugin
    platforms Qt6::QOffscreenIntegrationPlugin
    styles Qt6::QWindowsVistaStylePlugin
    imageformats Qt6::QGifPlugin
    imageformats Qt6::QJpegPlugin
    imageformats Qt6::QICOPlugin)

set(thalvane_runtime_dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(copy_commands
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${thalvane_qt_dlls} ${thalvane_compiler_dlls}
            ${thalvane_runtime_dir})
if(THALVANE_BUILD_TESTS)
    list(APPEND copy_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
         $<TARGET_FILE:Qt6::Test> ${thalvane_runtime_dir})
endif()
while(thalvane_plugins)
    list(POP_FRONT thalvane_plugins folder plugin)
    list(APPEND copy_commands
         COMMAND ${CMAKE_COMMAND} -E make_directory ${thalvane_runtime_dir}/${folder}
         COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}>
                 ${thalvane_runtime_dir}/${folder})
    if(NOT plugin STREQUAL "Qt6::QOffscreenIntegrationPlugin")
        install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${folder})
    endif()
endwhile()
add_custom_target(thalvane_windows_runtime ALL ${copy_commands}
                  COMMENT "Copying Qt's and the compiler's DLLs and Qt's plugins")

install(FILES ${thalvane_qt_dlls} ${thalvane_compiler_dlls} DESTINATION .)
