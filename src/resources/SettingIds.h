// Control ids of the settings dialog, shared with the tests that find its controls.
#pragma once

#define ZENTROK_SETTING_CLASS "TFormSet"

// The window
#define IDC_SET_PAGECONTROL 300
#define IDC_SET_BTNOK 1     // IDOK: Enter presses it
#define IDC_SET_BITBTN2 2   // IDCANCEL: Escape and the close box press it

// The pages' panels
#define IDC_SET_PANELBASE1 311
#define IDC_SET_PANELBASE2 312
#define IDC_SET_PANELBASE3 313

// Page 1: where the log is kept
#define IDC_SET_LABEL1 321
#define IDC_SET_EDITSAVEFOLDER 322
#define IDC_SET_BTNSAVEFOLDER 323
#define IDC_SET_LABEL2 324
#define IDC_SET_LABEL3 325
#define IDC_SET_LABEL4 326
#define IDC_SET_LABEL8 327
#define IDC_SET_LABEL9 328
#define IDC_SET_LABEL10 329
#define IDC_SET_CBKEEP 330

// Page 2: the log's name
#define IDC_SET_LABEL5 341
#define IDC_SET_RBNAMEKIND1 342
#define IDC_SET_RBNAMEKIND2 343
#define IDC_SET_RBNAMEKIND3 344
#define IDC_SET_RBNAMEKIND4 345
#define IDC_SET_EDITFILENAMESTRING 346
#define IDC_SET_RGDATEKIND 347
#define IDC_SET_RGDATEKIND1 348
#define IDC_SET_RGDATEKIND2 349
#define IDC_SET_RGDATEKIND3 350
#define IDC_SET_BTNDEFFILENAME 351

// Page 3: what a record holds
#define IDC_SET_LABEL6 361
#define IDC_SET_CBLOGONOFF 362
#define IDC_SET_CBUSERNAME 363
#define IDC_SET_CBDATE 364
#define IDC_SET_CBMACHINENAME 365
#define IDC_SET_LABEL7 366
#define IDC_SET_RBSEPARATORCOMMA 367
#define IDC_SET_RBSEPARATORDEF 368
#define IDC_SET_RBSEPARATORTAB 369
#define IDC_SET_RBSEPARATOROTHER 370
#define IDC_SET_EDITSEPARATORUSER 371
// Page 3, its right-hand column: the extra records
#define IDC_SET_LABEL11 372
#define IDC_SET_CBLOCK 373
#define IDC_SET_CBSLEEP 374
#define IDC_SET_CBREMOTE 375
#define IDC_SET_CBENDREASON 376
