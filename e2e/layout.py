"""Where each control of the window lies, as designed: left, top, width and height in
pixels from the top-left corner of the window's client area. The tests click these
places; nothing here asks the program where its widgets are."""

CLIENT_SIZE = (524, 408)
TOP_BAR_HEIGHT = 37
VIEW_TOP = TOP_BAR_HEIGHT  # every view panel starts below the top bar
ROW_HEIGHT = 37
LINES_PER_PAGE = 10

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun",
          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
MONTH_NAMES = ["January", "February", "March", "April", "May", "June", "July",
               "August", "September", "October", "November", "December"]
_MONTH_LEFTS = [12, 140, 268, 398]
_MONTH_TOPS = [8, 115, 222]


def _build():
    places = {}

    def add(name, left, top, width, height):
        places[name] = (left, top, width, height)

    # The top bar. "TopBar" is a bare spot of it, for its context menu.
    for page in range(5):
        add(f"Page{page + 1:02d}", 8 + 23 * page, 8, 22, 22)
    add("Transfer", 125, 8, 22, 22)
    add("Settings", 150, 8, 22, 22)
    add("Notes", 174, 8, 23, 22)
    add("TopBar", 230, 8, 80, 22)
    add("FinalTotal", 395, 8, 121, 21)
    # The viewer's bar covers the whole top bar while a report is open.
    add("ReportCopy", 5, 6, 125, 23)
    add("ReportClose", 131, 6, 139, 23)
    add("ReportPrint", 276, 6, 72, 23)
    add("ReportSavePdf", 354, 6, 114, 23)

    # The sheet: line n lies on page (n - 1) // 10, row (n - 1) % 10 of it.
    for n in range(1, 51):
        top = VIEW_TOP + ROW_HEIGHT * ((n - 1) % LINES_PER_PAGE)
        add(f"P{n:03d}Name", 8, top + 8, 193, 21)
        add(f"P{n:03d}Price", 224, top + 8, 65, 21)
        add(f"P{n:03d}Quantity", 311, top + 8, 65, 21)
        add(f"P{n:03d}Total", 395, top + 8, 121, 21)

    # The transfer view: twelve month boxes in three rows of four.
    for m, (key, name) in enumerate(zip(MONTHS, MONTH_NAMES)):
        left = _MONTH_LEFTS[m % 4]
        top = VIEW_TOP + _MONTH_TOPS[m // 4]
        add(f"Box{key}", left, top, 115, 97)
        add(f"Total{name}", left + 9, top + 19, 97, 21)
        add(f"Transfer{key}", left + 9, top + 44, 22, 22)
        add(f"Transfer{key}Caption", left + 40, top + 49, 45, 13)
        add(f"Report{key}", left + 9, top + 68, 22, 22)
        add(f"Report{key}Caption", left + 40, top + 72, 36, 13)
    add("TotalYear", 129, VIEW_TOP + 343, 245, 21)
    add("YearReport", 378, VIEW_TOP + 342, 135, 22)

    # The viewer, the settings, the notes and the About panel.
    add("ReportText", 0, VIEW_TOP, 524, 371)
    add("SetTitle", 81, VIEW_TOP + 12, 240, 21)
    add("Currency", 386, VIEW_TOP + 12, 128, 21)
    add("NoteText", 0, VIEW_TOP, 524, 371)
    add("AboutCloseBtn", 222, VIEW_TOP + 238, 75, 25)
    return places


PLACES = _build()


def centre(name):
    """The middle of a control, in client coordinates."""
    left, top, width, height = PLACES[name]
    return left + width // 2, top + height // 2


def line_page(n):
    """The page button that shows sheet line n."""
    return f"Page{(n - 1) // LINES_PER_PAGE + 1:02d}"
