<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
