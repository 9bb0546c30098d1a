"""Reads Kalvik's accessibility tree as a screen reader does: the Swedish names and descriptions,
the data table's rows, and the focus going to the row moved to, which is what is read out.
Usage: a11y.py WINDOW_ID (an X window id, for the key presses)."""
import subprocess
import sys

import pyatspi
from gi.repository import GLib

failed = False


def check(ok, what):
    global failed
    print(('ok: ' if ok else 'FAIL: ') + what)
    failed = failed or not ok


def find(node, pred, depth=0):
    if pred(node):
        return node
    if depth > 8 or node.childCount > 50:  # the table's rows are checked on their own
        return None
    return next((hit for child in node if child and (hit := find(child, pred, depth + 1))), None)


app = next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == 'Kalvik'), None)
check(app is not None, 'Kalvik on the AT-SPI bus')
if app is None:
    sys.exit(1)


def named(name, role):
    return find(app, lambda n: n.name == name and n.getRole() == role)


described = {
    ('Årsdiagram', pyatspi.ROLE_CHART): 'stapel från lägsta till högsta temperatur',
    ('Datatabell', pyatspi.ROLE_LIST): 'en per rad',
    ('Avläst datum', pyatspi.ROLE_LABEL): 'muspekaren',
    ('Avläst värde', pyatspi.ROLE_LABEL): 'muspekaren',
    ('Arkiv', pyatspi.ROLE_POPUP_MENU): 'annat års fil',
    ('Konfig', pyatspi.ROLE_POPUP_MENU): 'portadress',
    ('Visa', pyatspi.ROLE_POPUP_MENU): 'båda i diagrammet',
}
for (name, role), words in described.items():
    node = named(name, role)
    check(node is not None and words in node.description, f'{name}: {words}')
temperature = find(app, lambda n: n.name.startswith('Temperatur nu: '))
check(temperature is not None and temperature.name.endswith(' C')
      and 'var 30:e sekund' in temperature.description, 'temperature read with its value')
for item in ('Avsluta', 'Öppna', 'PortAdress', 'Visa Temp o Tryck', 'Bara Temp', 'Bara Tryck',
             'DataTabell'):
    check(named(item, pyatspi.ROLE_MENU_ITEM) is not None, f'menu item {item}')

# The table: one row per record of the hourly sample year, readable as text.
table = named('Datatabell', pyatspi.ROLE_LIST)
if table is None:
    sys.exit(1)
rows = table.childCount
check(rows in (8760, 8784), f'table exposes its {rows} rows')
first = table.getChildAtIndex(0)
check(first.getRole() == pyatspi.ROLE_LIST_ITEM and first.name.endswith('C     QNH ' + first.name.split()[-1])
      and first.name.startswith(f'{first.name[:4]}-01-01'), f'first row reads "{first.name}"')

# Show the table, give it the keyboard and go to the last row: the focus
# event a screen reader reads out names that row.
heard = []
pyatspi.Registry.registerEventListener(
    lambda e: heard.append(e.source.name) if e.detail1 else None, 'object:state-changed:focused')


def drive():
    named('DataTabell', pyatspi.ROLE_MENU_ITEM).queryAction().doAction(0)
    box = table.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(['xdotool', 'mousemove', str(box.x + 20), str(box.y + 10), 'click', '1'])
    subprocess.run(['xdotool', 'key', '--window', sys.argv[1], 'End'])
    GLib.timeout_add(1500, pyatspi.Registry.stop)
    return False


GLib.timeout_add(200, drive)
pyatspi.Registry.start()
last = table.getChildAtIndex(rows - 1)
states = last.getState()
check(states.contains(pyatspi.STATE_SELECTED) and states.contains(pyatspi.STATE_FOCUSED),
      'last row selected and focused')
check(last.name in heard, f'focus event read out "{last.name}" (heard {heard[-3:]})')
sys.exit(1 if failed else 0)
