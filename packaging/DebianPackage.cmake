# The Debian package: `cpack -G DEB` in the build folder writes docscanner_<version>_<arch>.deb.
# Its dependencies are runtime packages only: dpkg-shlibdeps finds those of the linked libraries,
# and the list below names what the program loads by itself at run time, which no linker sees.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME docscanner)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Document scanner developers <docscanner@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(DOCSCANNER_RUNTIME_PACKAGES
  # the xcb platform plugin and the JPEG image plugin (Qt loads them as plugins)
  libqt6gui6
  # the TIFF and WebP image plugins
  qt6-image-formats-plugins
  # the CUPS print plugin
  libqt6printsupport6
  # the OCR library's language data: English, simplified Chinese, and page orientation
  tesseract-ocr-eng tesseract-ocr-chi-sim tesseract-ocr-osd
  # Chinese texts and watermarks would show as boxes without a CJK font
  fonts-wqy-zenhei)
list(JOIN DOCSCANNER_RUNTIME_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "capture documents from an overhead USB document camera")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "capture documents from an overhead USB document camera
 Shows the live picture of a UVC document camera and saves pages, open books
 and identity cards as cropped, straightened JPG, PNG, BMP, TIFF or PDF files.
 It reads text (English and simplified Chinese) and barcodes, records video,
 prints, and takes commands from other programs through a local socket.
 .
 A camera is reachable for members of the video group only:
 sudo adduser $USER video, then log in again.")
include(CPack)
