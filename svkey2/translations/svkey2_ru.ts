<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AvailableBackupsView</name>
    <message>
        <source>id</source>
        <translation>id</translation>
    </message>
    <message>
        <source>Task id</source>
        <translation>ID задачи</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Reference id</source>
        <translation>ID ссылки</translation>
    </message>
    <message>
        <source>Resource type</source>
        <translation>Тип ресурса</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Ресурс</translation>
    </message>
    <message>
        <source>Backup type</source>
        <translation>Тип резервной копии</translation>
    </message>
    <message>
        <source>Pool</source>
        <translation>Пул</translation>
    </message>
    <message>
        <source>archiveSize</source>
        <translation>Размер архива</translation>
    </message>
    <message>
        <source>snapshotSize</source>
        <translation>Размер снимка</translation>
    </message>
    <message>
        <source>created</source>
        <translation>Создан</translation>
    </message>
    <message>
        <source>creationDuration</source>
        <translation>Длительность создания</translation>
    </message>
    <message>
        <source>transmissionDuration</source>
        <translation>Длительность передачи</translation>
    </message>
    <message>
        <source>cryptAlgorithm</source>
        <translation>Алгоритм шифрования</translation>
    </message>
    <message>
        <source>cryptDuration</source>
        <translation>Длительность шифрования</translation>
    </message>
    <message>
        <source>isDigitallySigned</source>
        <translation>Цифровая подпись</translation>
    </message>
    <message>
        <source>verificationStatus</source>
        <translation>Статус проверки</translation>
    </message>
</context>
<context>
    <name>BackupChoosingDevicePage</name>
    <message>
        <source>Drive</source>
        <translation>Диск</translation>
    </message>
    <message>
        <source>Crypto</source>
        <translation>Шифрование</translation>
    </message>
    <message>
        <source>Choose local drive contains / in backup device</source>
        <translation>Выберите локальный раздел, содержащий / на устройстве для резервного копирования</translation>
    </message>
</context>
<context>
    <name>BackupConfirmingPage</name>
    <message>
        <source>Create image</source>
        <translation>Создать образ</translation>
    </message>
    <message>
        <source>Network interface</source>
        <translation>Сетевой интерфейс</translation>
    </message>
    <message>
        <source>Crypto</source>
        <translation>Шифрование</translation>
    </message>
    <message>
        <source>Drive partition</source>
        <translation>Раздел диска</translation>
    </message>
    <message>
        <source>Hostname</source>
        <translation>Имя узла</translation>
    </message>
    <message>
        <source>Operating system</source>
        <translation>Операционная система</translation>
    </message>
    <message>
        <source>Mounted directories</source>
        <translation>Монтируемые каталоги</translation>
    </message>
    <message>
        <source>No selected directories</source>
        <translation>Нет выбранных каталогов</translation>
    </message>
    <message>
        <source>Filesystem</source>
        <translation>Файловая система</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Mount point</source>
        <translation>Точка монтирования</translation>
    </message>
</context>
<context>
    <name>BackupCreatingPage</name>
    <message>
        <source>Creating backup ended successfully</source>
        <translation>Создание резервной копии успешно завершено</translation>
    </message>
    <message>
        <source>Creating backup failed. See log for more info</source>
        <translation>Не удалось создать резервную копию. Подробности в журнале</translation>
    </message>
    <message>
        <source>Elapsed time: %1</source>
        <translation>Прошло времени: %1</translation>
    </message>
</context>
<context>
    <name>BackupDiskInfoPage</name>
    <message>
        <source>Host name</source>
        <translation>Имя узла</translation>
    </message>
    <message>
        <source>Operating system</source>
        <translation>Операционная система</translation>
    </message>
    <message>
        <source>Choose mounted directories that should be in backup</source>
        <translation>Выберите монтируемые каталоги, которые войдут в резервную копию</translation>
    </message>
</context>
<context>
    <name>CommandRunner</name>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Не удалось выполнить: </translation>
    </message>
    <message>
        <source>It could not be started: %1</source>
        <translation>Не удалось запустить: %1</translation>
    </message>
    <message>
        <source>It did not end within %1 s and was stopped.</source>
        <translation>Не завершилась за %1 с и была остановлена.</translation>
    </message>
    <message>
        <source>It was ended by signal %1.</source>
        <translation>Завершена сигналом %1.</translation>
    </message>
</context>
<context>
    <name>CryptKeyDialog</name>
    <message>
        <source>File doesn&apos;t exist: </source>
        <translation>Файл не существует: </translation>
    </message>
    <message>
        <source>This file already exists. Do you want to drop it and create a new master key?</source>
        <translation>Этот файл уже существует. Удалить его и создать новый мастер-ключ?</translation>
    </message>
    <message>
        <source>Fill all the parts of the key</source>
        <translation>Заполните все части ключа</translation>
    </message>
    <message>
        <source>Master key: </source>
        <translation>Мастер-ключ: </translation>
    </message>
    <message>
        <source>Enter crypt key</source>
        <translation>Ввод ключа шифрования</translation>
    </message>
    <message>
        <source>Key file</source>
        <translation>Файл ключа</translation>
    </message>
    <message>
        <source>Select file with key</source>
        <translation>Выберите файл с ключом</translation>
    </message>
    <message>
        <source>Hex key</source>
        <translation>Ключ (hex)</translation>
    </message>
    <message>
        <source>Save key to</source>
        <translation>Сохранить ключ в</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Выберите файл</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>CryptKeyHandler</name>
    <message>
        <source>Can&apos;t write the master key to </source>
        <translation>Не удалось записать мастер-ключ в </translation>
    </message>
    <message>
        <source>The key file holds </source>
        <translation>Размер файла ключа: </translation>
    </message>
    <message>
        <source> bytes; a master key has 32</source>
        <translation> байт, а у мастер-ключа 32</translation>
    </message>
    <message>
        <source>There is no key file at this path</source>
        <translation>По этому пути нет файла ключа</translation>
    </message>
    <message>
        <source>Fingerprint (SHA-256): </source>
        <translation>Отпечаток (SHA-256): </translation>
    </message>
    <message>
        <source>This is not a master key file: </source>
        <translation>Это не файл мастер-ключа: </translation>
    </message>
    <message>
        <source>A different master key is already at %1, where the backup client reads it. Replace it with the key from %2?</source>
        <translation>В %1, откуда клиент резервного копирования читает ключ, уже лежит другой мастер-ключ. Заменить его ключом из %2?</translation>
    </message>
</context>
<context>
    <name>CustomDialog</name>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>CustomFileDialog</name>
    <message>
        <source>Please choose a file</source>
        <translation>Выберите файл</translation>
    </message>
</context>
<context>
    <name>CustomLocalPageInStackView</name>
    <message>
        <source>back</source>
        <translation>назад</translation>
    </message>
    <message>
        <source>forward</source>
        <translation>далее</translation>
    </message>
</context>
<context>
    <name>CustomQuestionDialog</name>
    <message>
        <source>Confirmation</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>CustomSmallDialog</name>
    <message>
        <source>Confirmation</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Информация</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Do you want to exit?</source>
        <translation>Вы хотите выйти?</translation>
    </message>
    <message>
        <source>Do you want to logout?</source>
        <translation>Вы хотите завершить сеанс?</translation>
    </message>
    <message>
        <source>Assert</source>
        <translation>Нарушение проверки</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>Завершить сеанс</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Подробности</translation>
    </message>
</context>
<context>
    <name>CustomTextField</name>
    <message>
        <source>Hide password</source>
        <translation>Скрыть пароль</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Показать пароль</translation>
    </message>
</context>
<context>
    <name>DevicesTree</name>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>fstype</source>
        <translation>Тип ФС</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Метка</translation>
    </message>
    <message>
        <source>UUID</source>
        <translation>UUID</translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation>Точка монтирования</translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Не удалось выполнить: </translation>
    </message>
</context>
<context>
    <name>DevicesTreeView</name>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>FS type</source>
        <translation>Тип ФС</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Метка</translation>
    </message>
    <message>
        <source>UUID</source>
        <translation>UUID</translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation>Точка монтирования</translation>
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
        <translation>ID задачи</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Reference ID</source>
        <translation>ID ссылки</translation>
    </message>
    <message>
        <source>Resource type</source>
        <translation>Тип ресурса</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Ресурс</translation>
    </message>
    <message>
        <source>Backup type</source>
        <translation>Тип резервной копии</translation>
    </message>
    <message>
        <source>Pool</source>
        <translation>Пул</translation>
    </message>
    <message>
        <source>Archive size</source>
        <translation>Размер архива</translation>
    </message>
    <message>
        <source>Snapshot size</source>
        <translation>Размер снимка</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Создан</translation>
    </message>
    <message>
        <source>Creation duration</source>
        <translation>Длительность создания</translation>
    </message>
    <message>
        <source>Transmission duration</source>
        <translation>Длительность передачи</translation>
    </message>
    <message>
        <source>Crypt algorithm</source>
        <translation>Алгоритм шифрования</translation>
    </message>
    <message>
        <source>Crypt duration</source>
        <translation>Длительность шифрования</translation>
    </message>
    <message>
        <source>Digitally signed</source>
        <translation>Цифровая подпись</translation>
    </message>
    <message>
        <source>Verification status</source>
        <translation>Статус проверки</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
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
        <translation>Тип ресурса</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Ресурс</translation>
    </message>
    <message>
        <source>restoreDestination</source>
        <translation>Куда восстановить</translation>
    </message>
    <message>
        <source>cryptDuration</source>
        <translation>Длительность шифрования</translation>
    </message>
    <message>
        <source>priority</source>
        <translation>Приоритет</translation>
    </message>
    <message>
        <source>description</source>
        <translation>Описание</translation>
    </message>
    <message>
        <source>Task id</source>
        <translation>ID задачи</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Reference id</source>
        <translation>ID ссылки</translation>
    </message>
    <message>
        <source>Backup type</source>
        <translation>Тип резервной копии</translation>
    </message>
    <message>
        <source>Pool</source>
        <translation>Пул</translation>
    </message>
    <message>
        <source>archiveSize</source>
        <translation>Размер архива</translation>
    </message>
    <message>
        <source>snapshotSize</source>
        <translation>Размер снимка</translation>
    </message>
    <message>
        <source>created</source>
        <translation>Создан</translation>
    </message>
    <message>
        <source>creationDuration</source>
        <translation>Длительность создания</translation>
    </message>
    <message>
        <source>transmissionDuration</source>
        <translation>Длительность передачи</translation>
    </message>
    <message>
        <source>cryptAlgorithm</source>
        <translation>Алгоритм шифрования</translation>
    </message>
    <message>
        <source>isDigitallySigned</source>
        <translation>Цифровая подпись</translation>
    </message>
    <message>
        <source>verificationStatus</source>
        <translation>Статус проверки</translation>
    </message>
    <message>
        <source>Manage DRP</source>
        <translation>Управление планом восстановления</translation>
    </message>
    <message>
        <source>DRP records</source>
        <translation>Записи плана восстановления</translation>
    </message>
    <message>
        <source>Archives of selected DRP record</source>
        <translation>Архивы выбранной записи плана</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>ExitPage</name>
    <message>
        <source>Result of recovery or reservation</source>
        <translation>Результат восстановления или резервирования</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
</context>
<context>
    <name>FsModel</name>
    <message>
        <source>Backup</source>
        <translation>Резервное копирование</translation>
    </message>
    <message>
        <source>Filesystem</source>
        <translation>Файловая система</translation>
    </message>
    <message>
        <source>Mount point</source>
        <translation>Точка монтирования</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
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
        <translation> не существует</translation>
    </message>
    <message>
        <source>Can&apos;t open </source>
        <translation>Не удалось открыть </translation>
    </message>
    <message>
        <source>Can&apos;t mount device </source>
        <translation>Не удалось смонтировать устройство </translation>
    </message>
    <message>
        <source> to mountpoint </source>
        <translation> в точку монтирования </translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Не удалось выполнить: </translation>
    </message>
    <message>
        <source>Result: </source>
        <translation>Результат: </translation>
    </message>
    <message>
        <source>Can&apos;t unmount device: </source>
        <translation>Не удалось размонтировать устройство: </translation>
    </message>
    <message>
        <source>The mount point leads outside of /mnt</source>
        <translation>Точка монтирования ведёт за пределы /mnt</translation>
    </message>
    <message>
        <source>Device </source>
        <translation>Устройство </translation>
    </message>
    <message>
        <source> from fstab can`t be mounted to </source>
        <translation> из fstab не может быть смонтировано в </translation>
    </message>
</context>
<context>
    <name>FstabView</name>
    <message>
        <source>Need backup</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Filesystem</source>
        <translation>Файловая система</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Mountpoint</source>
        <translation>Точка монтирования</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
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
        <translation>Справка</translation>
    </message>
</context>
<context>
    <name>Journal</name>
    <message>
        <source>No events have happened yet</source>
        <translation>Событий пока не было</translation>
    </message>
</context>
<context>
    <name>JournalFooter</name>
    <message>
        <source>Journal</source>
        <translation>Журнал</translation>
    </message>
    <message>
        <source>To Start</source>
        <translation>В начало</translation>
    </message>
</context>
<context>
    <name>KeyMaster</name>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now. Unable to send message to client&apos;s process</source>
        <translation>Похоже, процесс клиента Sarvelin key сейчас не работает. Не удалось отправить сообщение процессу клиента</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client process doesn&apos;s work now. Unable to send message to client&apos;s process</source>
        <translation>Похоже, процесс клиента Sarvelin сейчас не работает. Не удалось отправить сообщение процессу клиента</translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</source>
        <translation>Похоже, процесс клиента Sarvelin key сейчас не работает. Не удалось получить сообщение от процесса клиента</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client process doesn&apos;s work now. Unable to recieve message from client&apos;s process</source>
        <translation>Похоже, процесс клиента Sarvelin сейчас не работает. Не удалось получить сообщение от процесса клиента</translation>
    </message>
    <message>
        <source>Try to open message queues</source>
        <translation>Попытка открыть очереди сообщений</translation>
    </message>
    <message>
        <source>Try to open message queues to communicate with Sarvelin key client. It looks like Sarvelin key clients doesn&apos;t work on this host. </source>
        <translation>Попытка открыть очереди сообщений для связи с клиентом Sarvelin key. Похоже, клиент Sarvelin key не работает на этом узле. </translation>
    </message>
    <message>
        <source>Try to close message queues</source>
        <translation>Попытка закрыть очереди сообщений</translation>
    </message>
    <message>
        <source>Try to close message queues to communicate with Sarvelin client. It looks like Sarvelin key clients doesn&apos;t work on this host. </source>
        <translation>Попытка закрыть очереди сообщений для связи с клиентом Sarvelin. Похоже, клиент Sarvelin key не работает на этом узле. </translation>
    </message>
    <message>
        <source>Sarvelin client doesn&apos;t work</source>
        <translation>Клиент Sarvelin не работает</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client doesn&apos;t work on this host. Unable to open mutex_svc: </source>
        <translation>Похоже, клиент Sarvelin не работает на этом узле. Не удалось открыть mutex_svc: </translation>
    </message>
    <message>
        <source>it is held by another process for more than %1 seconds</source>
        <translation>он удерживается другим процессом дольше %1 с</translation>
    </message>
    <message>
        <source>It looks like Sarvelin client doesn&apos;t work on this host. Unable to lock mutex_svc: </source>
        <translation>Похоже, клиент Sarvelin не работает на этом узле. Не удалось захватить mutex_svc: </translation>
    </message>
    <message>
        <source>Can&apos;t start Sarvelin client. Please see logfile: </source>
        <translation>Не удалось запустить клиент Sarvelin. Смотрите файл журнала: </translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed: Connection refused</source>
        <translation>Не удалось подключиться к серверу Sarvelin: в соединении отказано</translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed: No route to host</source>
        <translation>Не удалось подключиться к серверу Sarvelin: нет маршрута до узла</translation>
    </message>
    <message>
        <source>Client interface has no IP address v4 or v6. Sarvelin client can&apos;t work without IP address</source>
        <translation>У интерфейса клиента нет адреса IPv4 или IPv6. Клиент Sarvelin не может работать без IP-адреса</translation>
    </message>
    <message>
        <source>Can&apos;t resolve hostname. You must define it in /etc/hosts or in DNS</source>
        <translation>Не удалось разрешить имя узла. Его нужно указать в /etc/hosts или в DNS</translation>
    </message>
    <message>
        <source>Connect to Sarvelin server failed</source>
        <translation>Не удалось подключиться к серверу Sarvelin</translation>
    </message>
    <message>
        <source>Sarvelin server has duplicated MAC address in unauthorized clients</source>
        <translation>На сервере Sarvelin среди неавторизованных клиентов есть повторяющийся MAC-адрес</translation>
    </message>
    <message>
        <source>Can&apos;t run second instance of Sarvelin client process on one node</source>
        <translation>Нельзя запустить второй экземпляр процесса клиента Sarvelin на одном узле</translation>
    </message>
    <message>
        <source>Required authorization at Sarvelin server. Please contact system administrator.
 Waiting 15 min..</source>
        <translation>Требуется авторизация на сервере Sarvelin. Обратитесь к системному администратору.
 Ожидание 15 мин..</translation>
    </message>
    <message>
        <source>Required authorization at Sarvelin server. Retry after authorization
Or unknown error</source>
        <translation>Требуется авторизация на сервере Sarvelin. Повторите после авторизации
Или неизвестная ошибка</translation>
    </message>
    <message>
        <source>Can&apos;t stop Sarvelin client. Please see logfile: </source>
        <translation>Не удалось остановить клиент Sarvelin. Смотрите файл журнала: </translation>
    </message>
    <message>
        <source>Can&apos;t execute: </source>
        <translation>Не удалось выполнить: </translation>
    </message>
    <message>
        <source>You can run this application on Sarvelin key only</source>
        <translation>Эту программу можно запускать только на Sarvelin key</translation>
    </message>
    <message>
        <source>Chosen not a logical drive, choose another device</source>
        <translation>Выбран не логический диск, выберите другое устройство</translation>
    </message>
    <message>
        <source>Uuid of device is empty!</source>
        <translation>UUID устройства пуст!</translation>
    </message>
    <message>
        <source>Path to device is empty!</source>
        <translation>Путь к устройству пуст!</translation>
    </message>
    <message>
        <source>Fstype </source>
        <translation>Тип ФС </translation>
    </message>
    <message>
        <source> doesnt supported</source>
        <translation> не поддерживается</translation>
    </message>
    <message>
        <source>Device </source>
        <translation>Устройство </translation>
    </message>
    <message>
        <source> is mounted. It will be unmounted amd mounted again to </source>
        <translation> смонтировано. Оно будет размонтировано и смонтировано снова в </translation>
    </message>
    <message>
        <source> doesn&apos;t look like a root device. You need to select the root partition</source>
        <translation> не похоже на корневое устройство. Нужно выбрать корневой раздел</translation>
    </message>
    <message>
        <source>Fstab couldn`t be loaded for </source>
        <translation>Не удалось загрузить fstab для </translation>
    </message>
    <message>
        <source>Sarvelin client didn&apos;t find here: </source>
        <translation>Клиент Sarvelin не найден здесь: </translation>
    </message>
    <message>
        <source>There is no connection to Sarvelin client process</source>
        <translation>Нет связи с процессом клиента Sarvelin</translation>
    </message>
    <message>
        <source>hello_daemon to </source>
        <translation>hello_daemon к </translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from svkey</source>
        <translation>Похоже, процесс клиента Sarvelin key сейчас не работает или не читает сообщения от svkey</translation>
    </message>
    <message>
        <source>It looks like we can&apos;t connect to Sarvelin server...</source>
        <translation>Похоже, не удаётся подключиться к серверу Sarvelin...</translation>
    </message>
    <message>
        <source>disconnect server was failed: </source>
        <translation>не удалось отключиться от сервера: </translation>
    </message>
    <message>
        <source>It looks like Sarvelin key client process doesn&apos;s work now or doesn&apos;t read messages from SVC</source>
        <translation>Похоже, процесс клиента Sarvelin key сейчас не работает или не читает сообщения от SVC</translation>
    </message>
    <message>
        <source>Wrong password</source>
        <translation>Неверный пароль</translation>
    </message>
    <message>
        <source>Sarvelin client process doesn&apos;s work</source>
        <translation>Процесс клиента Sarvelin не работает</translation>
    </message>
    <message>
        <source>UUID </source>
        <translation>UUID </translation>
    </message>
    <message>
        <source> of the chosen device </source>
        <translation> выбранного устройства </translation>
    </message>
    <message>
        <source> also belongs to </source>
        <translation> принадлежит также </translation>
    </message>
    <message>
        <source>. Only the chosen device is used</source>
        <translation>. Используется только выбранное устройство</translation>
    </message>
    <message>
        <source>The installed fstab mounts </source>
        <translation>fstab установленной системы монтирует </translation>
    </message>
    <message>
        <source> on </source>
        <translation> в </translation>
    </message>
    <message>
        <source> instead of the chosen device </source>
        <translation> вместо выбранного устройства </translation>
    </message>
    <message>
        <source>Task finished with wrong status</source>
        <translation>Задача завершилась с неверным статусом</translation>
    </message>
    <message>
        <source>Task was assigned</source>
        <translation>Задача назначена</translation>
    </message>
    <message>
        <source>Task was successsully done</source>
        <translation>Задача успешно выполнена</translation>
    </message>
    <message>
        <source>Task was broken</source>
        <translation>Задача прервана</translation>
    </message>
    <message>
        <source>Task finished with error</source>
        <translation>Задача завершилась с ошибкой</translation>
    </message>
    <message>
        <source>Task was killed</source>
        <translation>Задача была убита</translation>
    </message>
    <message>
        <source>Task was done with a defect</source>
        <translation>Задача выполнена с дефектом</translation>
    </message>
    <message>
        <source>Stopping the local client</source>
        <translation>Остановка локального клиента</translation>
    </message>
    <message>
        <source>Can&apos;t copy file %1 to %2: %3</source>
        <translation>Не удалось скопировать файл %1 в %2: %3</translation>
    </message>
    <message>
        <source>Mounting the chosen file systems</source>
        <translation>Монтирование выбранных файловых систем</translation>
    </message>
    <message>
        <source>Config file doesn`t exist in selected directories</source>
        <translation>Файл конфигурации отсутствует в выбранных каталогах</translation>
    </message>
    <message>
        <source>Copying the keys and the client settings</source>
        <translation>Копирование ключей и настроек клиента</translation>
    </message>
    <message>
        <source>Can&apos;t change hostname</source>
        <translation>Не удалось изменить имя узла</translation>
    </message>
    <message>
        <source>Can&apos;t copy machine-id file. </source>
        <translation>Не удалось скопировать файл machine-id. </translation>
    </message>
    <message>
        <source>Can&apos;t read config file: </source>
        <translation>Не удалось прочитать файл конфигурации: </translation>
    </message>
    <message>
        <source>Sarvelin master key doesn&apos;t exist in original system</source>
        <translation>Мастер-ключ Sarvelin отсутствует в исходной системе</translation>
    </message>
    <message>
        <source>Generate empty master key. Even you choose crypto algorithm, rescue image will be uncrypted</source>
        <translation>Создан пустой мастер-ключ. Даже если выбран алгоритм шифрования, аварийный образ не будет зашифрован</translation>
    </message>
    <message>
        <source>Can&apos;t create file %1: %2</source>
        <translation>Не удалось создать файл %1: %2</translation>
    </message>
    <message>
        <source>Secret digital signature key doesn&apos;t exist in original system</source>
        <translation>Секретный ключ цифровой подписи отсутствует в исходной системе</translation>
    </message>
    <message>
        <source>Public digital signature key doesn&apos;t exist in original system</source>
        <translation>Открытый ключ цифровой подписи отсутствует в исходной системе</translation>
    </message>
    <message>
        <source>Can&apos;t create config file: </source>
        <translation>Не удалось создать файл конфигурации: </translation>
    </message>
    <message>
        <source>Starting the local client</source>
        <translation>Запуск локального клиента</translation>
    </message>
    <message>
        <source>Queueing the backup task</source>
        <translation>Постановка задачи резервного копирования в очередь</translation>
    </message>
    <message>
        <source>Can&apos;t start a backup, sv_archives has problems</source>
        <translation>Не удалось начать резервное копирование, у sv_archives проблемы</translation>
    </message>
    <message>
        <source>Wrong response from server. See log and journal for more info</source>
        <translation>Неверный ответ сервера. Подробности в логе и журнале</translation>
    </message>
    <message>
        <source>Waiting for the deduplication daemon to start</source>
        <translation>Ожидание запуска демона дедупликации</translation>
    </message>
    <message>
        <source>Waiting for the deduplication daemon to finish, pass %1</source>
        <translation>Ожидание завершения демона дедупликации, проход %1</translation>
    </message>
    <message>
        <source>Waiting for the task status</source>
        <translation>Ожидание статуса задачи</translation>
    </message>
    <message>
        <source>Waiting for the task status, last code %1</source>
        <translation>Ожидание статуса задачи, последний код %1</translation>
    </message>
    <message>
        <source>Waiting for the task status: %1</source>
        <translation>Ожидание статуса задачи: %1</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 Б</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 КБ</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 МБ</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 ГБ</translation>
    </message>
    <message>
        <source>%1 TB</source>
        <translation>%1 ТБ</translation>
    </message>
    <message>
        <source>serial %1</source>
        <translation>серийный номер %1</translation>
    </message>
    <message>
        <source>Wrong authentication</source>
        <translation>Ошибка аутентификации</translation>
    </message>
    <message>
        <source>Please check if client is authorized by server;
the Sarvelin key in Sarvelin manager was set;
you inputed the Sarvelin key correctly</source>
        <translation>Проверьте, что клиент авторизован сервером;
ключ Sarvelin задан в менеджере Sarvelin;
ключ Sarvelin введён правильно</translation>
    </message>
    <message>
        <source>No HWID for such client: </source>
        <translation>Нет HWID для такого клиента: </translation>
    </message>
    <message>
        <source>This archive is crypted. To restore it you MUST provide master key. Use &quot;Crypt key&quot; button to do it, or copy original master key to </source>
        <translation>Этот архив зашифрован. Для его восстановления НЕОБХОДИМО указать мастер-ключ. Используйте кнопку &quot;Crypt key&quot; или скопируйте исходный мастер-ключ в </translation>
    </message>
    <message>
        <source>Can&apos;t read LVM physical volumes</source>
        <translation>Не удалось прочитать физические тома LVM</translation>
    </message>
    <message>
        <source>LVM volume group %1 also lies on %2. It is not removed: restore to %3 canceled</source>
        <translation>Группа томов LVM %1 расположена также на %2. Она не удалена: восстановление на %3 отменено</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source> is configured as LVM physical volume. If you continue all it&apos;s data will be lost</source>
        <translation> настроено как физический том LVM. Если продолжить, все его данные будут потеряны</translation>
    </message>
    <message>
        <source>Volume groups to remove: </source>
        <translation>Будут удалены группы томов: </translation>
    </message>
    <message>
        <source>Logical volumes to remove: </source>
        <translation>Будут удалены логические тома: </translation>
    </message>
    <message>
        <source>Physical volumes to remove: </source>
        <translation>Будут удалены физические тома: </translation>
    </message>
    <message>
        <source>Remove them and restore?</source>
        <translation>Удалить их и восстановить?</translation>
    </message>
    <message>
        <source>Can&apos;t delete LVM logical volumes: </source>
        <translation>Не удалось удалить логические тома LVM: </translation>
    </message>
    <message>
        <source>Can&apos;t delete LVM volume group: </source>
        <translation>Не удалось удалить группу томов LVM: </translation>
    </message>
    <message>
        <source>Can&apos;t remove LVM physical volume: </source>
        <translation>Не удалось удалить физический том LVM: </translation>
    </message>
    <message>
        <source>The disk %1 is not the one chosen. Restore canceled</source>
        <translation>Диск %1 не тот, что был выбран. Восстановление отменено</translation>
    </message>
    <message>
        <source>Chosen: </source>
        <translation>Выбран: </translation>
    </message>
    <message>
        <source>Now: </source>
        <translation>Сейчас: </translation>
    </message>
    <message>
        <source>No client for recovery</source>
        <translation>Нет клиента для восстановления</translation>
    </message>
    <message>
        <source>No target disk for recovery</source>
        <translation>Не выбран диск для восстановления</translation>
    </message>
    <message>
        <source>No archive chosen for recovery</source>
        <translation>Не выбран архив для восстановления</translation>
    </message>
    <message>
        <source>Clearing LVM volumes of %1</source>
        <translation>Удаление томов LVM на %1</translation>
    </message>
    <message>
        <source>Connecting to the Sarvelin server</source>
        <translation>Подключение к серверу Sarvelin</translation>
    </message>
    <message>
        <source>Authenticating the client %1</source>
        <translation>Проверка клиента %1</translation>
    </message>
    <message>
        <source>Queueing the restore</source>
        <translation>Постановка восстановления в очередь</translation>
    </message>
    <message>
        <source>Waiting for the restore task</source>
        <translation>Ожидание задачи восстановления</translation>
    </message>
    <message>
        <source>Waiting for the restore task, pass %1: %2</source>
        <translation>Ожидание задачи восстановления, проход %1: %2</translation>
    </message>
    <message>
        <source>The disk %1 is not the one chosen. Backup canceled</source>
        <translation>Диск %1 — не тот, что был выбран. Резервное копирование отменено</translation>
    </message>
    <message>
        <source>The installed fstab mounts another file system on %1 than the inspected root partition. Backup canceled</source>
        <translation>fstab установленной системы монтирует на %1 не проверенный корневой раздел, а другую файловую систему. Резервное копирование отменено</translation>
    </message>
    <message>
        <source>Can&apos;t read %1: %2</source>
        <translation>Не удалось прочитать %1: %2</translation>
    </message>
    <message>
        <source>symbolic links loop</source>
        <translation>символические ссылки образуют цикл</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>ничего</translation>
    </message>
    <message>
        <source>the start-up checks</source>
        <translation>начальные проверки</translation>
    </message>
    <message>
        <source>the inspection of a partition</source>
        <translation>проверка раздела</translation>
    </message>
    <message>
        <source>connecting to the Sarvelin server</source>
        <translation>подключение к серверу Sarvelin</translation>
    </message>
    <message>
        <source>disconnecting from the Sarvelin server</source>
        <translation>отключение от сервера Sarvelin</translation>
    </message>
    <message>
        <source>loading the client&apos;s backups</source>
        <translation>загрузка резервных копий клиента</translation>
    </message>
    <message>
        <source>a backup</source>
        <translation>резервное копирование</translation>
    </message>
    <message>
        <source>a restore</source>
        <translation>восстановление</translation>
    </message>
    <message>
        <source>a restore (waiting for your answer)</source>
        <translation>восстановление (ожидается ваш ответ)</translation>
    </message>
    <message>
        <source>A backup is running. If you leave now, it is stopped: the file systems are unmounted, the copied keys and settings are deleted and the local client is stopped.</source>
        <translation>Идёт резервное копирование. Если выйти сейчас, оно будет остановлено: файловые системы будут отмонтированы, скопированные ключи и настройки удалены, локальный клиент остановлен.</translation>
    </message>
    <message>
        <source>A restore is running. If you leave now, it is stopped: the tool stops waiting for it, disconnects and stops the local client.</source>
        <translation>Идёт восстановление. Если выйти сейчас, оно будет остановлено: программа перестанет его ожидать, отключится от сервера и остановит локальный клиент.</translation>
    </message>
    <message>
        <source>Running now: %1. If you leave now, it is stopped.</source>
        <translation>Сейчас выполняется: %1. Если выйти сейчас, это будет остановлено.</translation>
    </message>
    <message>
        <source>This cannot be done now: %1 is running. Wait until it ends.</source>
        <translation>Сейчас это сделать нельзя: выполняется %1. Дождитесь окончания.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>wait finish state of task</source>
        <translation>ожидание конечного состояния задачи</translation>
    </message>
</context>
<context>
    <name>ResqueArchivesModel</name>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>undefined</source>
        <translation>не определено</translation>
    </message>
</context>
<context>
    <name>RestoreAvailableBackupsPage</name>
    <message>
        <source>Client hostname</source>
        <translation>Имя хоста клиента</translation>
    </message>
</context>
<context>
    <name>RestoreChoosingServerPage</name>
    <message>
        <source>Sarvelin server</source>
        <translation>Сервер Sarvelin</translation>
    </message>
    <message>
        <source>server ip or name</source>
        <translation>IP или имя сервера</translation>
    </message>
    <message>
        <source>Port cmd</source>
        <translation>Порт команд</translation>
    </message>
    <message>
        <source>Port media</source>
        <translation>Порт данных</translation>
    </message>
    <message>
        <source>Sarvelin key password</source>
        <translation>Пароль ключа Sarvelin</translation>
    </message>
    <message>
        <source>Please disconnect for editing fields</source>
        <translation>Отключитесь, чтобы изменить поля</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключиться</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключиться</translation>
    </message>
</context>
<context>
    <name>RestoreConfirmingPage</name>
    <message>
        <source>Restore</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>Network interface</source>
        <translation>Сетевой интерфейс</translation>
    </message>
    <message>
        <source>Sarvelin server</source>
        <translation>Сервер Sarvelin</translation>
    </message>
    <message>
        <source>Port cmd</source>
        <translation>Порт команд</translation>
    </message>
    <message>
        <source>Port media</source>
        <translation>Порт данных</translation>
    </message>
    <message>
        <source>Client hostname</source>
        <translation>Имя хоста клиента</translation>
    </message>
    <message>
        <source>Selected backup</source>
        <translation>Выбранная копия</translation>
    </message>
    <message>
        <source>Restore target</source>
        <translation>Диск для восстановления</translation>
    </message>
</context>
<context>
    <name>RestoreProcessPage</name>
    <message>
        <source>Recovery ended successfully</source>
        <translation>Восстановление успешно завершено</translation>
    </message>
    <message>
        <source>Recovery failed. See log for more info</source>
        <translation>Восстановление не удалось. Подробности в журнале</translation>
    </message>
    <message>
        <source>Elapsed time: %1</source>
        <translation>Прошло времени: %1</translation>
    </message>
</context>
<context>
    <name>RestoreSettingsPage</name>
    <message>
        <source>Restore target</source>
        <translation>Диск для восстановления</translation>
    </message>
    <message>
        <source>Current key path: </source>
        <translation>Текущий путь к ключу: </translation>
    </message>
    <message>
        <source>Change crypt key</source>
        <translation>Сменить ключ шифрования</translation>
    </message>
    <message>
        <source>Tune DRP</source>
        <translation>Настроить ПАВ</translation>
    </message>
    <message>
        <source>Enter client&apos;s password</source>
        <translation>Пароль клиента</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
</context>
<context>
    <name>ScenarioSelectionPage</name>
    <message>
        <source>Backup</source>
        <translation>Резервное копирование</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановление</translation>
    </message>
</context>
<context>
    <name>WelcomePage</name>
    <message>
        <source>Welcome to the disaster recovery program SarvelinKey</source>
        <translation>Добро пожаловать в программу аварийного восстановления SarvelinKey</translation>
    </message>
    <message>
        <source>Choose language</source>
        <translation>Выберите язык</translation>
    </message>
    <message>
        <source>Choose network interface</source>
        <translation>Выберите сетевой интерфейс</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Начать</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Choose backup device for creating resque image</source>
        <translation>Выберите устройство для создания образа восстановления</translation>
    </message>
    <message>
        <source>Chosen disk info</source>
        <translation>Сведения о выбранном диске</translation>
    </message>
    <message>
        <source>Confirm chosen data: backup</source>
        <translation>Подтвердите выбранные данные: резервное копирование</translation>
    </message>
    <message>
        <source>Backup is creating</source>
        <translation>Создание резервной копии</translation>
    </message>
    <message>
        <source>Choose server</source>
        <translation>Выбор сервера</translation>
    </message>
    <message>
        <source>Available backups</source>
        <translation>Доступные резервные копии</translation>
    </message>
    <message>
        <source>Restore settings</source>
        <translation>Параметры восстановления</translation>
    </message>
    <message>
        <source>Confirm chosen data: restore</source>
        <translation>Подтвердите выбранные данные: восстановление</translation>
    </message>
    <message>
        <source>Restore is in progress</source>
        <translation>Идёт восстановление</translation>
    </message>
</context>
</TS>
