<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>CustomFileDialog</name>
    <message>
        <source>Please choose a file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CustomLocalPageInStackView</name>
    <message>
        <source>back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>forward</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CustomQuestionDialog</name>
    <message>
        <source>Confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CustomSmallDialog</name>
    <message>
        <source>Confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to exit?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to logout?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Assert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Log out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DevicesTree</name>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fstype</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Label</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UUID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DrpArchiveModel</name>
    <message>
        <source>Id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Task ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reference ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resource type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resource</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Archive size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Snapshot size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Creation duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transmission duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crypt algorithm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crypt duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Digitally signed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verification status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExitPage</name>
    <message>
        <source>Result of recovery or reservation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FsModel</name>
    <message>
        <source>Backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filesystem</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mount point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dump</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pass</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> doesnt exists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t mount device </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> to mountpoint </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Result: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t unmount device: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The mount point leads outside of /mnt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> from fstab can`t be mounted to </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GuiConfig</name>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Journal</name>
    <message>
        <source>No events have happened yet</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JournalFooter</name>
    <message>
        <source>Journal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To Start</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyMaster</name>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now. Unable to send message to client&apos;s process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like Sarvelin client process doesn&apos;s work now. Unable to send message to client&apos;s process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like Sarvelin client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try to open message queues</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try to open message queues to communicate with Sarvelin key client. It looks like Sarvelin key clients doesn&apos;t work on this host. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try to close message queues</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try to close message queues to communicate with Sarvelin client. It looks like Sarvelin key clients doesn&apos;t work on this host. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sarvelin client doesn&apos;t work</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like Sarvelin client doesn&apos;t work on this host. Unable to open mutex_svc: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is held by another process for more than %1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like Sarvelin client doesn&apos;t work on this host. Unable to lock mutex_svc: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t start Sarvelin client. Please see logfile: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed: Connection refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed: No route to host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Client interface has no IP address v4 or v6. Sarvelin client can&apos;t work without IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t resolve hostname. You must define it in /etc/hosts or in DNS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sarvelin server has duplicated MAC address in unauthorized clients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t run second instance of Sarvelin client process on one node</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Required authorization at Sarvelin server. Please contact system administrator.
 Waiting 15 min..</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Required authorization at Sarvelin server. Retry after authorization
Or unknown error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t stop Sarvelin client. Please see logfile: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can run this application on Sarvelin key only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chosen not a logical drive, choose another device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uuid of device is empty!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path to device is empty!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fstype </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> doesnt supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> is mounted. It will be unmounted amd mounted again to </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> doesn&apos;t look like a root device. You need to select the root partition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fstab couldn`t be loaded for </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sarvelin client didn&apos;t find here: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no connection to Sarvelin client process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hello_daemon to </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from svkey</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like we can&apos;t connect to Sarvelin server...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>disconnect server was failed: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from SVC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sarvelin client process doesn&apos;s work</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ResqueArchivesModel</name>
    <message>
        <source>yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>undefined</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScenarioSelectionPage</name>
    <message>
        <source>Backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WelcomePage</name>
    <message>
        <source>Welcome to the disaster recovery program SarvelinKey</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose network interface</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Choose backup device for creating resque image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chosen disk info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm chosen data: backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup is creating</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available backups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm chosen data: restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore is in progress</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
