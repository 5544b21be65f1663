# The navigation dialogs that the history curves and the data lists share: go-to, value
# search and the tag list they pick from.
target_sources(kvr_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/find_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/find_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/goto_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/goto_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tag_list.h
  ${CMAKE_CURRENT_LIST_DIR}/tag_list.cpp
)
