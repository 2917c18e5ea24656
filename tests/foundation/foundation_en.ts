<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>FoundationTest</name>
    <message>
        <source>probe</source>
        <translation>probe in English</translation>
    </message>
</context>
</TS>
