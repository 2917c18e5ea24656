# Sourced inside the sandbox before the restore walk: the GUI tests' setup
# (translations) and the disks of the LVM preset.
. "$SV_SOURCE_DIR/tests/gui/sandbox-setup.sh"
sv_medium_preset lvm
