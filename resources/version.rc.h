// Version resource shared by both programs; FILE_DESCRIPTION and ORIGINAL_NAME are set by each.
VS_VERSION_INFO VERSIONINFO
FILEVERSION 1,3,0,0
PRODUCTVERSION 1,3,0,0
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904B0"
        BEGIN
            VALUE "CompanyName", "Tarnwick Labs"
            VALUE "FileDescription", FILE_DESCRIPTION
            VALUE "FileVersion", "1.3"
            VALUE "OriginalFilename", ORIGINAL_NAME
            VALUE "ProductName", "Misto Screen Saver"
            VALUE "ProductVersion", "1.3"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x409, 1200
    END
END
