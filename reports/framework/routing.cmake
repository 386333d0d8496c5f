# Output routing (preview, printer, fax server, PDF and e-mail): part of tdxreportfw, included
# from this folder's CMakeLists.txt where tdxcore exists.
target_sources(tdxreportfw PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/routing_fax.cpp
  ${CMAKE_CURRENT_LIST_DIR}/routing_email.cpp)
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/routing.cpp)
  target_sources(tdxreportfw PRIVATE ${CMAKE_CURRENT_LIST_DIR}/routing.cpp)
endif()
target_link_libraries(tdxreportfw PUBLIC tdxpdfwriter tdxplatform tdxdata)
