<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AvailableBackupsView</name>
    <message>
        <source>id</source>
        <translation>id</translation>
    </message>
    <message>
        <source>Task id</source>
        <translation>Task id</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Reference id</source>
        <translation>Reference id</translation>
    </message>
    <message>
        <source>Resource type</source>
        <translation>Resource type</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Resource</translation>
    </message>
    <message>
        <source>Backup type</source>
        <translation>Backup type</translation>
    </message>
    <message>
        <source>Pool</source>
        <translation>Pool</translation>
    </message>
    <message>
        <source>archiveSize</source>
        <translation>archiveSize</translation>
    </message>
    <message>
        <source>snapshotSize</source>
        <translation>snapshotSize</translation>
    </message>
    <message>
        <source>created</source>
        <translation>created</translation>
    </message>
    <message>
        <source>creationDuration</source>
        <translation>creationDuration</translation>
    </message>
    <message>
        <source>transmissionDuration</source>
        <translation>transmissionDuration</translation>
    </message>
    <message>
        <source>cryptAlgorithm</source>
        <translation>cryptAlgorithm</translation>
    </message>
    <message>
        <source>cryptDuration</source>
        <translation>cryptDuration</translation>
    </message>
    <message>
        <source>isDigitallySigned</source>
        <translation>isDigitallySigned</translation>
    </message>
    <message>
        <source>verificationStatus</source>
        <translation>verificationStatus</translation>
    </message>
</context>
<context>
    <name>BackupChoosingDevicePage</name>
    <message>
        <source>Drive</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>Crypto</source>
        <translation>Crypto</translation>
    </message>
    <message>
        <source>Choose local drive contains / in backup device</source>
        <translation>Choose local drive contains / in backup device</translation>
    </message>
</context>
<context>
    <name>BackupConfirmingPage</name>
    <message>
        <source>Create image</source>
        <translation>Create image</translation>
    </message>
    <message>
        <source>Network interface</source>
        <translation>Network interface</translation>
    </message>
    <message>
        <source>Crypto</source>
        <translation>Crypto</translation>
    </message>
    <message>
        <source>Drive partition</source>
        <translation>Drive partition</translation>
    </message>
    <message>
        <source>Hostname</source>
        <translation>Hostname</translation>
    </message>
    <message>
        <source>Operating system</source>
        <translation>Operating system</translation>
    </message>
    <message>
        <source>Mounted directories</source>
        <translation>Mounted directories</translation>
    </message>
    <message>
        <source>No selected directories</source>
        <translation>No selected directories</translation>
    </message>
    <message>
        <source>Filesystem</source>
        <translation>Filesystem</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Mount point</source>
        <translation>Mount point</translation>
    </message>
</context>
<context>
    <name>BackupCreatingPage</name>
    <message>
        <source>Creating backup ended successfully</source>
        <translation>Creating backup ended successfully</translation>
    </message>
    <message>
        <source>Creating backup failed. See log for more info</source>
        <translation>Creating backup failed. See log for more info</translation>
    </message>
    <message>
        <source>Elapsed time: %1</source>
        <translation>Elapsed time: %1</translation>
    </message>
</context>
<context>
    <name>BackupDiskInfoPage</name>
    <message>
        <source>Host name</source>
        <translation>Host name</translation>
    </message>
    <message>
        <source>Operating system</source>
        <translation>Operating system</translation>
    </message>
    <message>
        <source>Choose mounted directories that should be in backup</source>
        <translation>Choose mounted directories that should be in backup</translation>
    </message>
</context>
<context>
    <name>CommandRunner</name>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Can&apos;t execute: </translation>
    </message>
    <message>
        <source>It could not be started: %1</source>
        <translation>It could not be started: %1</translation>
    </message>
    <message>
        <source>It did not end within %1 s and was stopped.</source>
        <translation>It did not end within %1 s and was stopped.</translation>
    </message>
    <message>
        <source>It was ended by signal %1.</source>
        <translation>It was ended by signal %1.</translation>
    </message>
</context>
<context>
    <name>CryptKeyDialog</name>
    <message>
        <source>File doesn&apos;t exist: </source>
        <translation>File doesn&apos;t exist: </translation>
    </message>
    <message>
        <source>This file already exists. Do you want to drop it and create a new master key?</source>
        <translation>This file already exists. Do you want to drop it and create a new master key?</translation>
    </message>
    <message>
        <source>Fill all the parts of the key</source>
        <translation>Fill all the parts of the key</translation>
    </message>
    <message>
        <source>Master key: </source>
        <translation>Master key: </translation>
    </message>
    <message>
        <source>Enter crypt key</source>
        <translation>Enter crypt key</translation>
    </message>
    <message>
        <source>Key file</source>
        <translation>Key file</translation>
    </message>
    <message>
        <source>Select file with key</source>
        <translation>Select file with key</translation>
    </message>
    <message>
        <source>Hex key</source>
        <translation>Hex key</translation>
    </message>
    <message>
        <source>Save key to</source>
        <translation>Save key to</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Select file</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CryptKeyHandler</name>
    <message>
        <source>Can&apos;t write the master key to </source>
        <translation>Can&apos;t write the master key to </translation>
    </message>
    <message>
        <source>The key file holds </source>
        <translation>The key file holds </translation>
    </message>
    <message>
        <source> bytes; a master key has 32</source>
        <translation> bytes; a master key has 32</translation>
    </message>
    <message>
        <source>There is no key file at this path</source>
        <translation>There is no key file at this path</translation>
    </message>
    <message>
        <source>Fingerprint (SHA-256): </source>
        <translation>Fingerprint (SHA-256): </translation>
    </message>
    <message>
        <source>This is not a master key file: </source>
        <translation>This is not a master key file: </translation>
    </message>
    <message>
        <source>A different master key is already at %1, where the backup client reads it. Replace it with the key from %2?</source>
        <translation>A different master key is already at %1, where the backup client reads it. Replace it with the key from %2?</translation>
    </message>
</context>
<context>
    <name>CustomDialog</name>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CustomFileDialog</name>
    <message>
        <source>Please choose a file</source>
        <translation>Please choose a file</translation>
    </message>
</context>
<context>
    <name>CustomLocalPageInStackView</name>
    <message>
        <source>back</source>
        <translation>back</translation>
    </message>
    <message>
        <source>forward</source>
        <translation>forward</translation>
    </message>
</context>
<context>
    <name>CustomQuestionDialog</name>
    <message>
        <source>Confirmation</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CustomSmallDialog</name>
    <message>
        <source>Confirmation</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Do you want to exit?</source>
        <translation>Do you want to exit?</translation>
    </message>
    <message>
        <source>Do you want to logout?</source>
        <translation>Do you want to logout?</translation>
    </message>
    <message>
        <source>Assert</source>
        <translation>Assert</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>Log out</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>CustomTextField</name>
    <message>
        <source>Hide password</source>
        <translation>Hide password</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Show password</translation>
    </message>
</context>
<context>
    <name>DevicesTree</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>fstype</source>
        <translation>fstype</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>UUID</source>
        <translation>UUID</translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation>Mountpoint</translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Can&apos;t execute: </translation>
    </message>
</context>
<context>
    <name>DevicesTreeView</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>FS type</source>
        <translation>FS type</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>UUID</source>
        <translation>UUID</translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation>Mountpoint</translation>
    </message>
</context>
<context>
    <name>DrpArchiveModel</name>
    <message>
        <source>Id</source>
        <translation>Id</translation>
    </message>
    <message>
        <source>Task ID</source>
        <translation>Task ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Reference ID</source>
        <translation>Reference ID</translation>
    </message>
    <message>
        <source>Resource type</source>
        <translation>Resource type</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Resource</translation>
    </message>
    <message>
        <source>Backup type</source>
        <translation>Backup type</translation>
    </message>
    <message>
        <source>Pool</source>
        <translation>Pool</translation>
    </message>
    <message>
        <source>Archive size</source>
        <translation>Archive size</translation>
    </message>
    <message>
        <source>Snapshot size</source>
        <translation>Snapshot size</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>Creation duration</source>
        <translation>Creation duration</translation>
    </message>
    <message>
        <source>Transmission duration</source>
        <translation>Transmission duration</translation>
    </message>
    <message>
        <source>Crypt algorithm</source>
        <translation>Crypt algorithm</translation>
    </message>
    <message>
        <source>Crypt duration</source>
        <translation>Crypt duration</translation>
    </message>
    <message>
        <source>Digitally signed</source>
        <translation>Digitally signed</translation>
    </message>
    <message>
        <source>Verification status</source>
        <translation>Verification status</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
</context>
<context>
    <name>DrpDialog</name>
    <message>
        <source>id</source>
        <translation>id</translation>
    </message>
    <message>
        <source>Resource type</source>
        <translation>Resource type</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Resource</translation>
    </message>
    <message>
        <source>restoreDestination</source>
        <translation>restoreDestination</translation>
    </message>
    <message>
        <source>cryptDuration</source>
        <translation>cryptDuration</translation>
    </message>
    <message>
        <source>priority</source>
        <translation>priority</translation>
    </message>
    <message>
        <source>description</source>
        <translation>description</translation>
    </message>
    <message>
        <source>Task id</source>
        <translation>Task id</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Reference id</source>
        <translation>Reference id</translation>
    </message>
    <message>
        <source>Backup type</source>
        <translation>Backup type</translation>
    </message>
    <message>
        <source>Pool</source>
        <translation>Pool</translation>
    </message>
    <message>
        <source>archiveSize</source>
        <translation>archiveSize</translation>
    </message>
    <message>
        <source>snapshotSize</source>
        <translation>snapshotSize</translation>
    </message>
    <message>
        <source>created</source>
        <translation>created</translation>
    </message>
    <message>
        <source>creationDuration</source>
        <translation>creationDuration</translation>
    </message>
    <message>
        <source>transmissionDuration</source>
        <translation>transmissionDuration</translation>
    </message>
    <message>
        <source>cryptAlgorithm</source>
        <translation>cryptAlgorithm</translation>
    </message>
    <message>
        <source>isDigitallySigned</source>
        <translation>isDigitallySigned</translation>
    </message>
    <message>
        <source>verificationStatus</source>
        <translation>verificationStatus</translation>
    </message>
    <message>
        <source>Manage DRP</source>
        <translation>Manage DRP</translation>
    </message>
    <message>
        <source>DRP records</source>
        <translation>DRP records</translation>
    </message>
    <message>
        <source>Archives of selected DRP record</source>
        <translation>Archives of selected DRP record</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ExitPage</name>
    <message>
        <source>Result of recovery or reservation</source>
        <translation>Result of recovery or reservation</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>FsModel</name>
    <message>
        <source>Backup</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Filesystem</source>
        <translation>Filesystem</translation>
    </message>
    <message>
        <source>Mount point</source>
        <translation>Mount point</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Dump</source>
        <translation>Dump</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source> doesnt exists</source>
        <translation> doesnt exists</translation>
    </message>
    <message>
        <source>Can&apos;t open </source>
        <translation>Can&apos;t open </translation>
    </message>
    <message>
        <source>Can&apos;t mount device </source>
        <translation>Can&apos;t mount device </translation>
    </message>
    <message>
        <source> to mountpoint </source>
        <translation> to mountpoint </translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Can&apos;t execute: </translation>
    </message>
    <message>
        <source>Result: </source>
        <translation>Result: </translation>
    </message>
    <message>
        <source>Can&apos;t unmount device: </source>
        <translation>Can&apos;t unmount device: </translation>
    </message>
    <message>
        <source>The mount point leads outside of /mnt</source>
        <translation>The mount point leads outside of /mnt</translation>
    </message>
    <message>
        <source>Device </source>
        <translation>Device </translation>
    </message>
    <message>
        <source> from fstab can`t be mounted to </source>
        <translation> from fstab can`t be mounted to </translation>
    </message>
</context>
<context>
    <name>FstabView</name>
    <message>
        <source>Need backup</source>
        <translation>Need backup</translation>
    </message>
    <message>
        <source>Filesystem</source>
        <translation>Filesystem</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation>Mountpoint</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Dump</source>
        <translation>Dump</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>Pass</translation>
    </message>
</context>
<context>
    <name>GuiConfig</name>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>Journal</name>
    <message>
        <source>No events have happened yet</source>
        <translation>No events have happened yet</translation>
    </message>
</context>
<context>
    <name>JournalFooter</name>
    <message>
        <source>Journal</source>
        <translation>Journal</translation>
    </message>
    <message>
        <source>To Start</source>
        <translation>To Start</translation>
    </message>
</context>
<context>
    <name>KeyMaster</name>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now. Unable to send message to client&apos;s process</source>
        <translation>It looks like Sarvelin key client process doesn&apos;s work now. Unable to send message to client&apos;s process</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client process doesn&apos;s work now. Unable to send message to client&apos;s process</source>
        <translation>It looks like Sarvelin client process doesn&apos;s work now. Unable to send message to client&apos;s process</translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</source>
        <translation>It looks like Sarvelin key client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</source>
        <translation>It looks like Sarvelin client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</translation>
    </message>
    <message>
        <source>Try to open message queues</source>
        <translation>Try to open message queues</translation>
    </message>
    <message>
        <source>Try to open message queues to communicate with Sarvelin key client. It looks like Sarvelin key clients doesn&apos;t work on this host. </source>
        <translation>Try to open message queues to communicate with Sarvelin key client. It looks like Sarvelin key clients doesn&apos;t work on this host. </translation>
    </message>
    <message>
        <source>Try to close message queues</source>
        <translation>Try to close message queues</translation>
    </message>
    <message>
        <source>Try to close message queues to communicate with Sarvelin client. It looks like Sarvelin key clients doesn&apos;t work on this host. </source>
        <translation>Try to close message queues to communicate with Sarvelin client. It looks like Sarvelin key clients doesn&apos;t work on this host. </translation>
    </message>
    <message>
        <source>Sarvelin client doesn&apos;t work</source>
        <translation>Sarvelin client doesn&apos;t work</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client doesn&apos;t work on this host. Unable to open mutex_svc: </source>
        <translation>It looks like Sarvelin client doesn&apos;t work on this host. Unable to open mutex_svc: </translation>
    </message>
    <message>
        <source>it is held by another process for more than %1 seconds</source>
        <translation>it is held by another process for more than %1 seconds</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client doesn&apos;t work on this host. Unable to lock mutex_svc: </source>
        <translation>It looks like Sarvelin client doesn&apos;t work on this host. Unable to lock mutex_svc: </translation>
    </message>
    <message>
        <source>Can&apos;t start Sarvelin client. Please see logfile: </source>
        <translation>Can&apos;t start Sarvelin client. Please see logfile: </translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed: Connection refused</source>
        <translation>Connect to Sarvelin server failed: Connection refused</translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed: No route to host</source>
        <translation>Connect to Sarvelin server failed: No route to host</translation>
    </message>
    <message>
        <source>Client interface has no IP address v4 or v6. Sarvelin client can&apos;t work without IP address</source>
        <translation>Client interface has no IP address v4 or v6. Sarvelin client can&apos;t work without IP address</translation>
    </message>
    <message>
        <source>Can&apos;t resolve hostname. You must define it in /etc/hosts or in DNS</source>
        <translation>Can&apos;t resolve hostname. You must define it in /etc/hosts or in DNS</translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed</source>
        <translation>Connect to Sarvelin server failed</translation>
    </message>
    <message>
        <source>Sarvelin server has duplicated MAC address in unauthorized clients</source>
        <translation>Sarvelin server has duplicated MAC address in unauthorized clients</translation>
    </message>
    <message>
        <source>Can&apos;t run second instance of Sarvelin client process on one node</source>
        <translation>Can&apos;t run second instance of Sarvelin client process on one node</translation>
    </message>
    <message>
        <source>Required authorization at Sarvelin server. Please contact system administrator.
 Waiting 15 min..</source>
        <translation>Required authorization at Sarvelin server. Please contact system administrator.
 Waiting 15 min..</translation>
    </message>
    <message>
        <source>Required authorization at Sarvelin server. Retry after authorization
Or unknown error</source>
        <translation>Required authorization at Sarvelin server. Retry after authorization
Or unknown error</translation>
    </message>
    <message>
        <source>Can&apos;t stop Sarvelin client. Please see logfile: </source>
        <translation>Can&apos;t stop Sarvelin client. Please see logfile: </translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Can&apos;t execute: </translation>
    </message>
    <message>
        <source>You can run this application on Sarvelin key only</source>
        <translation>You can run this application on Sarvelin key only</translation>
    </message>
    <message>
        <source>Chosen not a logical drive, choose another device</source>
        <translation>Chosen not a logical drive, choose another device</translation>
    </message>
    <message>
        <source>Uuid of device is empty!</source>
        <translation>Uuid of device is empty!</translation>
    </message>
    <message>
        <source>Path to device is empty!</source>
        <translation>Path to device is empty!</translation>
    </message>
    <message>
        <source>Fstype </source>
        <translation>Fstype </translation>
    </message>
    <message>
        <source> doesnt supported</source>
        <translation> doesnt supported</translation>
    </message>
    <message>
        <source>Device </source>
        <translation>Device </translation>
    </message>
    <message>
        <source> is mounted. It will be unmounted amd mounted again to </source>
        <translation> is mounted. It will be unmounted amd mounted again to </translation>
    </message>
    <message>
        <source> doesn&apos;t look like a root device. You need to select the root partition</source>
        <translation> doesn&apos;t look like a root device. You need to select the root partition</translation>
    </message>
    <message>
        <source>Fstab couldn`t be loaded for </source>
        <translation>Fstab couldn`t be loaded for </translation>
    </message>
    <message>
        <source>Sarvelin client didn&apos;t find here: </source>
        <translation>Sarvelin client didn&apos;t find here: </translation>
    </message>
    <message>
        <source>There is no connection to Sarvelin client process</source>
        <translation>There is no connection to Sarvelin client process</translation>
    </message>
    <message>
        <source>hello_daemon to </source>
        <translation>hello_daemon to </translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from svkey</source>
        <translation>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from svkey</translation>
    </message>
    <message>
        <source>It looks like we can&apos;t connect to Sarvelin server...</source>
        <translation>It looks like we can&apos;t connect to Sarvelin server...</translation>
    </message>
    <message>
        <source>disconnect server was failed: </source>
        <translation>disconnect server was failed: </translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from SVC</source>
        <translation>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from SVC</translation>
    </message>
    <message>
        <source>Wrong password</source>
        <translation>Wrong password</translation>
    </message>
    <message>
        <source>Sarvelin client process doesn&apos;s work</source>
        <translation>Sarvelin client process doesn&apos;s work</translation>
    </message>
    <message>
        <source>UUID </source>
        <translation>UUID </translation>
    </message>
    <message>
        <source> of the chosen device </source>
        <translation> of the chosen device </translation>
    </message>
    <message>
        <source> also belongs to </source>
        <translation> also belongs to </translation>
    </message>
    <message>
        <source>. Only the chosen device is used</source>
        <translation>. Only the chosen device is used</translation>
    </message>
    <message>
        <source>The installed fstab mounts </source>
        <translation>The installed fstab mounts </translation>
    </message>
    <message>
        <source> on </source>
        <translation> on </translation>
    </message>
    <message>
        <source> instead of the chosen device </source>
        <translation> instead of the chosen device </translation>
    </message>
    <message>
        <source>Task finished with wrong status</source>
        <translation>Task finished with wrong status</translation>
    </message>
    <message>
        <source>Task was assigned</source>
        <translation>Task was assigned</translation>
    </message>
    <message>
        <source>Task was successsully done</source>
        <translation>Task was successsully done</translation>
    </message>
    <message>
        <source>Task was broken</source>
        <translation>Task was broken</translation>
    </message>
    <message>
        <source>Task finished with error</source>
        <translation>Task finished with error</translation>
    </message>
    <message>
        <source>Task was killed</source>
        <translation>Task was killed</translation>
    </message>
    <message>
        <source>Task was done with a defect</source>
        <translation>Task was done with a defect</translation>
    </message>
    <message>
        <source>Stopping the local client</source>
        <translation>Stopping the local client</translation>
    </message>
    <message>
        <source>Can&apos;t copy file %1 to %2: %3</source>
        <translation>Can&apos;t copy file %1 to %2: %3</translation>
    </message>
    <message>
        <source>Mounting the chosen file systems</source>
        <translation>Mounting the chosen file systems</translation>
    </message>
    <message>
        <source>Config file doesn`t exist in selected directories</source>
        <translation>Config file doesn`t exist in selected directories</translation>
    </message>
    <message>
        <source>Copying the keys and the client settings</source>
        <translation>Copying the keys and the client settings</translation>
    </message>
    <message>
        <source>Can&apos;t change hostname</source>
        <translation>Can&apos;t change hostname</translation>
    </message>
    <message>
        <source>Can&apos;t copy machine-id file. </source>
        <translation>Can&apos;t copy machine-id file. </translation>
    </message>
    <message>
        <source>Can&apos;t read config file: </source>
        <translation>Can&apos;t read config file: </translation>
    </message>
    <message>
        <source>Sarvelin master key doesn&apos;t exist in original system</source>
        <translation>Sarvelin master key doesn&apos;t exist in original system</translation>
    </message>
    <message>
        <source>Generate empty master key. Even you choose crypto algorithm, rescue image will be uncrypted</source>
        <translation>Generate empty master key. Even you choose crypto algorithm, rescue image will be uncrypted</translation>
    </message>
    <message>
        <source>Can&apos;t create file %1: %2</source>
        <translation>Can&apos;t create file %1: %2</translation>
    </message>
    <message>
        <source>Secret digital signature key doesn&apos;t exist in original system</source>
        <translation>Secret digital signature key doesn&apos;t exist in original system</translation>
    </message>
    <message>
        <source>Public digital signature key doesn&apos;t exist in original system</source>
        <translation>Public digital signature key doesn&apos;t exist in original system</translation>
    </message>
    <message>
        <source>Can&apos;t create config file: </source>
        <translation>Can&apos;t create config file: </translation>
    </message>
    <message>
        <source>Starting the local client</source>
        <translation>Starting the local client</translation>
    </message>
    <message>
        <source>Queueing the backup task</source>
        <translation>Queueing the backup task</translation>
    </message>
    <message>
        <source>Can&apos;t start a backup, sv_archives has problems</source>
        <translation>Can&apos;t start a backup, sv_archives has problems</translation>
    </message>
    <message>
        <source>Wrong response from server. See log and journal for more info</source>
        <translation>Wrong response from server. See log and journal for more info</translation>
    </message>
    <message>
        <source>Waiting for the deduplication daemon to start</source>
        <translation>Waiting for the deduplication daemon to start</translation>
    </message>
    <message>
        <source>Waiting for the deduplication daemon to finish, pass %1</source>
        <translation>Waiting for the deduplication daemon to finish, pass %1</translation>
    </message>
    <message>
        <source>Waiting for the task status</source>
        <translation>Waiting for the task status</translation>
    </message>
    <message>
        <source>Waiting for the task status, last code %1</source>
        <translation>Waiting for the task status, last code %1</translation>
    </message>
    <message>
        <source>Waiting for the task status: %1</source>
        <translation>Waiting for the task status: %1</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>%1 TB</source>
        <translation>%1 TB</translation>
    </message>
    <message>
        <source>serial %1</source>
        <translation>serial %1</translation>
    </message>
    <message>
        <source>Wrong authentication</source>
        <translation>Wrong authentication</translation>
    </message>
    <message>
        <source>Please check if client is authorized by server;
the Sarvelin key in Sarvelin manager was set;
you inputed the Sarvelin key correctly</source>
        <translation>Please check if client is authorized by server;
the Sarvelin key in Sarvelin manager was set;
you inputed the Sarvelin key correctly</translation>
    </message>
    <message>
        <source>No HWID for such client: </source>
        <translation>No HWID for such client: </translation>
    </message>
    <message>
        <source>This archive is crypted. To restore it you MUST provide master key. Use &quot;Crypt key&quot; button to do it, or copy original master key to </source>
        <translation>This archive is crypted. To restore it you MUST provide master key. Use &quot;Crypt key&quot; button to do it, or copy original master key to </translation>
    </message>
    <message>
        <source>Can&apos;t read LVM physical volumes</source>
        <translation>Can&apos;t read LVM physical volumes</translation>
    </message>
    <message>
        <source>LVM volume group %1 also lies on %2. It is not removed: restore to %3 canceled</source>
        <translation>LVM volume group %1 also lies on %2. It is not removed: restore to %3 canceled</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source> is configured as LVM physical volume. If you continue all it&apos;s data will be lost</source>
        <translation> is configured as LVM physical volume. If you continue all it&apos;s data will be lost</translation>
    </message>
    <message>
        <source>Volume groups to remove: </source>
        <translation>Volume groups to remove: </translation>
    </message>
    <message>
        <source>Logical volumes to remove: </source>
        <translation>Logical volumes to remove: </translation>
    </message>
    <message>
        <source>Physical volumes to remove: </source>
        <translation>Physical volumes to remove: </translation>
    </message>
    <message>
        <source>Remove them and restore?</source>
        <translation>Remove them and restore?</translation>
    </message>
    <message>
        <source>Can&apos;t delete LVM logical volumes: </source>
        <translation>Can&apos;t delete LVM logical volumes: </translation>
    </message>
    <message>
        <source>Can&apos;t delete LVM volume group: </source>
        <translation>Can&apos;t delete LVM volume group: </translation>
    </message>
    <message>
        <source>Can&apos;t remove LVM physical volume: </source>
        <translation>Can&apos;t remove LVM physical volume: </translation>
    </message>
    <message>
        <source>The disk %1 is not the one chosen. Restore canceled</source>
        <translation>The disk %1 is not the one chosen. Restore canceled</translation>
    </message>
    <message>
        <source>Chosen: </source>
        <translation>Chosen: </translation>
    </message>
    <message>
        <source>Now: </source>
        <translation>Now: </translation>
    </message>
    <message>
        <source>No client for recovery</source>
        <translation>No client for recovery</translation>
    </message>
    <message>
        <source>No target disk for recovery</source>
        <translation>No target disk for recovery</translation>
    </message>
    <message>
        <source>No archive chosen for recovery</source>
        <translation>No archive chosen for recovery</translation>
    </message>
    <message>
        <source>Clearing LVM volumes of %1</source>
        <translation>Clearing LVM volumes of %1</translation>
    </message>
    <message>
        <source>Connecting to the Sarvelin server</source>
        <translation>Connecting to the Sarvelin server</translation>
    </message>
    <message>
        <source>Authenticating the client %1</source>
        <translation>Authenticating the client %1</translation>
    </message>
    <message>
        <source>Queueing the restore</source>
        <translation>Queueing the restore</translation>
    </message>
    <message>
        <source>Waiting for the restore task</source>
        <translation>Waiting for the restore task</translation>
    </message>
    <message>
        <source>Waiting for the restore task, pass %1: %2</source>
        <translation>Waiting for the restore task, pass %1: %2</translation>
    </message>
    <message>
        <source>The disk %1 is not the one chosen. Backup canceled</source>
        <translation>The disk %1 is not the one chosen. Backup canceled</translation>
    </message>
    <message>
        <source>The installed fstab mounts another file system on %1 than the inspected root partition. Backup canceled</source>
        <translation>The installed fstab mounts another file system on %1 than the inspected root partition. Backup canceled</translation>
    </message>
    <message>
        <source>Can&apos;t read %1: %2</source>
        <translation>Can&apos;t read %1: %2</translation>
    </message>
    <message>
        <source>symbolic links loop</source>
        <translation>symbolic links loop</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nothing</translation>
    </message>
    <message>
        <source>the start-up checks</source>
        <translation>the start-up checks</translation>
    </message>
    <message>
        <source>the inspection of a partition</source>
        <translation>the inspection of a partition</translation>
    </message>
    <message>
        <source>connecting to the Sarvelin server</source>
        <translation>connecting to the Sarvelin server</translation>
    </message>
    <message>
        <source>disconnecting from the Sarvelin server</source>
        <translation>disconnecting from the Sarvelin server</translation>
    </message>
    <message>
        <source>loading the client&apos;s backups</source>
        <translation>loading the client&apos;s backups</translation>
    </message>
    <message>
        <source>a backup</source>
        <translation>a backup</translation>
    </message>
    <message>
        <source>a restore</source>
        <translation>a restore</translation>
    </message>
    <message>
        <source>a restore (waiting for your answer)</source>
        <translation>a restore (waiting for your answer)</translation>
    </message>
    <message>
        <source>A backup is running. If you leave now, it is stopped: the file systems are unmounted, the copied keys and settings are deleted and the local client is stopped.</source>
        <translation>A backup is running. If you leave now, it is stopped: the file systems are unmounted, the copied keys and settings are deleted and the local client is stopped.</translation>
    </message>
    <message>
        <source>A restore is running. If you leave now, it is stopped: the tool stops waiting for it, disconnects and stops the local client.</source>
        <translation>A restore is running. If you leave now, it is stopped: the tool stops waiting for it, disconnects and stops the local client.</translation>
    </message>
    <message>
        <source>Running now: %1. If you leave now, it is stopped.</source>
        <translation>Running now: %1. If you leave now, it is stopped.</translation>
    </message>
    <message>
        <source>This cannot be done now: %1 is running. Wait until it ends.</source>
        <translation>This cannot be done now: %1 is running. Wait until it ends.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>wait finish state of task</source>
        <translation>wait finish state of task</translation>
    </message>
</context>
<context>
    <name>ResqueArchivesModel</name>
    <message>
        <source>yes</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <source>undefined</source>
        <translation>undefined</translation>
    </message>
</context>
<context>
    <name>RestoreAvailableBackupsPage</name>
    <message>
        <source>Client hostname</source>
        <translation>Client hostname</translation>
    </message>
</context>
<context>
    <name>RestoreChoosingServerPage</name>
    <message>
        <source>Sarvelin server</source>
        <translation>Sarvelin server</translation>
    </message>
    <message>
        <source>server ip or name</source>
        <translation>server ip or name</translation>
    </message>
    <message>
        <source>Port cmd</source>
        <translation>Port cmd</translation>
    </message>
    <message>
        <source>Port media</source>
        <translation>Port media</translation>
    </message>
    <message>
        <source>Sarvelin key password</source>
        <translation>Sarvelin key password</translation>
    </message>
    <message>
        <source>Please disconnect for editing fields</source>
        <translation>Please disconnect for editing fields</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
</context>
<context>
    <name>RestoreConfirmingPage</name>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Network interface</source>
        <translation>Network interface</translation>
    </message>
    <message>
        <source>Sarvelin server</source>
        <translation>Sarvelin server</translation>
    </message>
    <message>
        <source>Port cmd</source>
        <translation>Port cmd</translation>
    </message>
    <message>
        <source>Port media</source>
        <translation>Port media</translation>
    </message>
    <message>
        <source>Client hostname</source>
        <translation>Client hostname</translation>
    </message>
    <message>
        <source>Selected backup</source>
        <translation>Selected backup</translation>
    </message>
    <message>
        <source>Restore target</source>
        <translation>Restore target</translation>
    </message>
</context>
<context>
    <name>RestoreProcessPage</name>
    <message>
        <source>Recovery ended successfully</source>
        <translation>Recovery ended successfully</translation>
    </message>
    <message>
        <source>Recovery failed. See log for more info</source>
        <translation>Recovery failed. See log for more info</translation>
    </message>
    <message>
        <source>Elapsed time: %1</source>
        <translation>Elapsed time: %1</translation>
    </message>
</context>
<context>
    <name>RestoreSettingsPage</name>
    <message>
        <source>Restore target</source>
        <translation>Restore target</translation>
    </message>
    <message>
        <source>Current key path: </source>
        <translation>Current key path: </translation>
    </message>
    <message>
        <source>Change crypt key</source>
        <translation>Change crypt key</translation>
    </message>
    <message>
        <source>Tune DRP</source>
        <translation>Tune DRP</translation>
    </message>
    <message>
        <source>Enter client&apos;s password</source>
        <translation>Enter client&apos;s password</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
</context>
<context>
    <name>ScenarioSelectionPage</name>
    <message>
        <source>Backup</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
</context>
<context>
    <name>WelcomePage</name>
    <message>
        <source>Welcome to the disaster recovery program SarvelinKey</source>
        <translation>Welcome to the disaster recovery program SarvelinKey</translation>
    </message>
    <message>
        <source>Choose language</source>
        <translation>Choose language</translation>
    </message>
    <message>
        <source>Choose network interface</source>
        <translation>Choose network interface</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Choose backup device for creating resque image</source>
        <translation>Choose backup device for creating resque image</translation>
    </message>
    <message>
        <source>Chosen disk info</source>
        <translation>Chosen disk info</translation>
    </message>
    <message>
        <source>Confirm chosen data: backup</source>
        <translation>Confirm chosen data: backup</translation>
    </message>
    <message>
        <source>Backup is creating</source>
        <translation>Backup is creating</translation>
    </message>
    <message>
        <source>Choose server</source>
        <translation>Choose server</translation>
    </message>
    <message>
        <source>Available backups</source>
        <translation>Available backups</translation>
    </message>
    <message>
        <source>Restore settings</source>
        <translation>Restore settings</translation>
    </message>
    <message>
        <source>Confirm chosen data: restore</source>
        <translation>Confirm chosen data: restore</translation>
    </message>
    <message>
        <source>Restore is in progress</source>
        <translation>Restore is in progress</translation>
    </message>
</context>
</TS>
