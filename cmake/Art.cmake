# The program's pictures, rendered at build time from the SVG drawings in
# src/resources/art by tools/make-art.sh:
#   ${PLUMORA_DIST_DIR}/Image/NAME.png  toolbar pictures, one per name in images.txt
#   ${PLUMORA_ART_RESOURCE_DIR}         Plumora.ico, ListEntry.bmp, ListPlaying.bmp for
#                                       the resource script
# Needs PLUMORA_DIST_DIR; defines the target "art", and PLUMORA_ART_RESOURCES, the three
# files of PLUMORA_ART_RESOURCE_DIR (for OBJECT_DEPENDS of the resource script).

get_filename_component(plumora_art_repo ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
set(plumora_art_sources ${plumora_art_repo}/src/resources/art)
set(plumora_art_script ${plumora_art_repo}/tools/make-art.sh)
set(plumora_art_image_dir ${PLUMORA_DIST_DIR}/Image)
set(PLUMORA_ART_RESOURCE_DIR ${CMAKE_BINARY_DIR}/resources)

file(GLOB plumora_art_svgs CONFIGURE_DEPENDS ${plumora_art_sources}/*.svg)
# The picture names: a new name in images.txt reconfigures the build.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${plumora_art_sources}/images.txt)
file(STRINGS ${plumora_art_sources}/images.txt plumora_art_names REGEX "^[^#]")
list(TRANSFORM plumora_art_names STRIP)
list(FILTER plumora_art_names EXCLUDE REGEX "^$")

set(PLUMORA_ART_RESOURCES
  ${PLUMORA_ART_RESOURCE_DIR}/Plumora.ico
  ${PLUMORA_ART_RESOURCE_DIR}/ListEntry.bmp
  ${PLUMORA_ART_RESOURCE_DIR}/ListPlaying.bmp)
set(plumora_art_outputs ${PLUMORA_ART_RESOURCES})
foreach(name IN LISTS plumora_art_names)
  if(NOT EXISTS ${plumora_art_sources}/${name}.svg)
    message(FATAL_ERROR "images.txt names ${name}, but ${name}.svg is not in ${plumora_art_sources}")
  endif()
  list(APPEND plumora_art_outputs ${plumora_art_image_dir}/${name}.png)
endforeach()

add_custom_command(OUTPUT ${plumora_art_outputs}
  COMMAND ${plumora_art_script} ${plumora_art_image_dir} ${PLUMORA_ART_RESOURCE_DIR}
  DEPENDS ${plumora_art_script} ${plumora_art_repo}/tools/art.py
          ${plumora_art_sources}/images.txt ${plumora_art_svgs}
  COMMENT "Rendering the program's pictures"
  VERBATIM)
add_custom_target(art ALL DEPENDS ${plumora_art_outputs})
