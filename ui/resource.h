/* The ids of the launcher's resources (ui/setup.rc) and of their controls. Plain
 * definitions, so that the resource compiler reads this file too. */
#pragma once

/* Dialog templates. */
#define IDD_LANGUAGE 100 /* language choice */
#define IDD_WAITBOX 105  /* wait box of the external commands */
#define IDD_DATABASE 107 /* SQL Server or Oracle */

/* Controls. */
#define IDC_LANGUAGE_LIST 1109 /* combo box of template 100 */
#define IDC_PROMPT 1112        /* prompt of template 100, text of template 105 */
#define IDC_LANGUAGE_ICON 1113 /* icon of template 100 */
#define IDC_SQLSERVER 1113     /* radio buttons of template 107 */
#define IDC_ORACLE 1114
#define IDC_DATABASE_ICON 1115 /* icon of template 107 */

/* Icons. */
#define IDI_SETUP 1          /* the program's icon */
#define IDI_SETUP_MEDIUM 104 /* a computer with a compact disc */
#define IDI_SETUP_WORKING 106 /* a window with two gears */

/* Strings. */
#define IDS_SETUP_CANNOT_CONTINUE 9

/* The version resource. */
#define SETUP_VERSION_BINARY 1, 0, 0, 0
#define SETUP_VERSION_TEXT "1.0.0.0"
