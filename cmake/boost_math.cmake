# Boost.Math's distributions (header-only, Debian's libboost-dev) for the studies'
# p-values, intervals and quantiles. The Windows trees see Boost through a folder
# that holds only a link to it: adding /usr/include itself would mix the host's C
# headers into a MinGW build.
set(MERIDAN_BOOST_HEADERS /usr/include/boost)
if(NOT EXISTS ${MERIDAN_BOOST_HEADERS}/math/distributions.hpp)
  message(FATAL_ERROR "Boost.Math headers not found in ${MERIDAN_BOOST_HEADERS} (Debian package libboost-dev)")
endif()
set(MERIDAN_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${MERIDAN_BOOST_INCLUDE})
file(CREATE_LINK ${MERIDAN_BOOST_HEADERS} ${MERIDAN_BOOST_INCLUDE}/boost SYMBOLIC)
