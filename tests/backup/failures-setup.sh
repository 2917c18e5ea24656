# Sourced inside the sandbox before tst_backup_failures: disk sda holds an
# installed system whose /opt is a file system of its own (sda2); the tree of
# that /opt stays in /tmp/failures/opt, from which each case rebuilds it.
root=$(sv_new_uuid); opt=$(sv_new_uuid)
printf 'UUID=%s / ext4 errors=remount-ro 0 1\nUUID=%s /opt ext4 defaults 0 2\n' "$root" "$opt" > /tmp/failures-fstab
sv_tree_root /tmp/failures/root --hostname db02 --fstab /tmp/failures-fstab --no-opt \
  --machine-id 0123456789abcdef0123456789abcdef
sv_tree_opt /tmp/failures/opt --secondary backup2.example.lan
sv_disk sda "ext4:64:uuid=$root:tree=/tmp/failures/root" "ext4:32:uuid=$opt:tree=/tmp/failures/opt"
