<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Hungarian texts of Qt's print dialog that Qt's own Hungarian translation lacks. -->
<TS version="2.1" language="hu_HU" sourcelanguage="en">
<context>
    <name>QPrintSettingsOutput</name>
    <message>
        <source>Pages</source>
        <translation>Oldalak</translation>
    </message>
    <message>
        <source>Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.</source>
        <translation>Oldalak vagy tartományok vesszővel elválasztva; egy tartomány két, kötőjellel elválasztott szám. Például a 3,5-7,9 a 3., 5., 6., 7. és 9. oldalt nyomtatja.</translation>
    </message>
    <message>
        <source>Double Sided Printing</source>
        <translation>Kétoldalas nyomtatás</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Ki</translation>
    </message>
    <message>
        <source>Long side binding</source>
        <translation>Kötés a hosszabb oldalon</translation>
    </message>
    <message>
        <source>Short side binding</source>
        <translation>Kötés a rövidebb oldalon</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Meghajtó</translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Mappa</translation>
    </message>
</context>
</TS>
