enable_language(RC)

# The Windows programs: the window program is a GUI program (no console) carrying the icon,
# which Windows shows for the file and Qt for its windows (resource IDI_ICON1). The icon file
# is put together from the drawn PNGs with ImageMagick on the build machine.
if(TARGET quarvel)
  set_target_properties(quarvel PROPERTIES WIN32_EXECUTABLE ON)
  find_program(QUARVEL_MAGICK NAMES magick convert-im6.q16 convert)
  if(QUARVEL_MAGICK)
    set(ico ${CMAKE_BINARY_DIR}/icons/quarvel.ico)
    set(ico_sources)
    foreach(size 16 24 32 48 64 128 256)
      list(APPEND ico_sources ${CMAKE_BINARY_DIR}/icons/quarvel-${size}.png)
    endforeach()
    add_custom_command(OUTPUT ${ico}
      COMMAND ${QUARVEL_MAGICK} ${ico_sources} ${ico}
      DEPENDS icons ${ico_sources}
      COMMENT "Putting the icon together for Windows")
    add_custom_target(windows_icon DEPENDS ${ico})
    add_dependencies(quarvel windows_icon)
    set(rc ${CMAKE_BINARY_DIR}/quarvel_icon.rc)
    file(WRITE ${rc} "IDI_ICON1 ICON \"${ico}\"\n")
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ico})
    target_sources(quarvel PRIVATE ${rc})
  else()
    message(WARNING "ImageMagick's convert was not found: quarvel.exe is built without its icon")
  endif()
endif()
