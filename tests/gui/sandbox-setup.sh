# Sourced inside the sandbox before a GUI test: the built translations go
# where GuiConfig looks for them.
mkdir -p /opt/sarvelin/gui/rc/langs
cp "$SV_BINARY_DIR"/translations/svkey2_*.qm /opt/sarvelin/gui/rc/langs/
# and both theme files where GuiConfig reads them.
mkdir -p /opt/sarvelin/gui/rc/themes
cp "$SV_SOURCE_DIR"/packaging/themes/*_theme /opt/sarvelin/gui/rc/themes/
