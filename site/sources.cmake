# The engine's sources, listed once for the program's build (site/) and for
# the fuzz targets (fuzz/), which compile the engine with their own flags.
set(PIXELNOOK_SITE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BuildRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BuildSite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DecodeScheduler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExifOrientation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSystem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GalleryPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImagePages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureMetadata.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SiteError.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SiteLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SiteSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SiteUpdate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TemplateCatalogue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Thumbnail.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThumbnailDimensions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThumbnailStage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebCopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebScaler.cpp
)

# The libraries the engine's web copies stand on: libvips brings them from
# their colour profiles into sRGB, Exiv2 reads and rewrites the pictures'
# metadata.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VIPS REQUIRED IMPORTED_TARGET GLOBAL vips)
pkg_check_modules(EXIV2 REQUIRED IMPORTED_TARGET GLOBAL exiv2)
set(PIXELNOOK_SITE_LIBRARIES PkgConfig::VIPS PkgConfig::EXIV2)
