'''A stand-in for the system's modem service, loaded as a python3-dbusmock template.

Parameters (JSON, -p): {"modems": [{"manufacturer": ..., "model": ..., "identifier": ...,
"device": ..., "primary": PORT, "ports": [[NAME, TYPE], ...]}, ...]}.

Inhibiting a device takes its modem off the bus until the same client releases it or that
client's connection closes, as the real service does. Calls and releases go to the log (-l).
'''

import dbus

BUS_NAME = 'org.freedesktop.ModemManager1'
MAIN_OBJ = '/org/freedesktop/ModemManager1'
MAIN_IFACE = 'org.freedesktop.ModemManager1'
MODEM_IFACE = 'org.freedesktop.ModemManager1.Modem'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

ERROR = 'org.freedesktop.ModemManager1.Error.Core.'


def modem_properties(modem):
    ports = dbus.Array([dbus.Struct((str(name), dbus.UInt32(kind)), signature='su')
                        for name, kind in modem.get('ports', [])], signature='(su)')
    return {
        'Manufacturer': dbus.String(modem.get('manufacturer', '')),
        'Model': dbus.String(modem.get('model', '')),
        'DeviceIdentifier': dbus.String(modem.get('identifier', '')),
        'Device': dbus.String(modem.get('device', '')),
        'PrimaryPort': dbus.String(modem.get('primary', '')),
        'Ports': ports,
    }


def show_modem(mock, device):
    path, properties = mock.modems[device]
    mock.AddObject(path, MODEM_IFACE, properties, [])
    mock.object_manager_emit_added(path)


def hide_modem(mock, device):
    path = mock.modems[device][0]
    mock.object_manager_emit_removed(path)
    mock.RemoveObject(path)


def load(mock, parameters):
    mock.modems = {}
    mock.inhibitors = {}
    mock.watches = {}
    for index, modem in enumerate(parameters.get('modems', [])):
        device = str(modem['device'])
        mock.modems[device] = (f'{MAIN_OBJ}/Modem/{index}', modem_properties(modem))
        show_modem(mock, device)


def release(mock, device, why):
    del mock.inhibitors[device]
    mock.watches.pop(device).cancel()
    mock.log(f'released {device} ({why})')
    show_modem(mock, device)


@dbus.service.method(MAIN_IFACE, in_signature='sb', out_signature='', sender_keyword='sender')
def InhibitDevice(self, uid, inhibit, sender=None):
    uid = str(uid)
    if uid not in self.modems:
        raise dbus.exceptions.DBusException(f'no device {uid}', name=ERROR + 'NotFound')
    if inhibit:
        if uid in self.inhibitors:
            raise dbus.exceptions.DBusException(f'{uid} already inhibited', name=ERROR + 'InProgress')
        self.inhibitors[uid] = sender
        hide_modem(self, uid)

        def owner_changed(owner):
            if not owner and self.inhibitors.get(uid) == sender:
                release(self, uid, 'client gone')
        self.watches[uid] = self.connection.watch_name_owner(sender, owner_changed)
        self.log(f'inhibited {uid}')
    else:
        if self.inhibitors.get(uid) != sender:
            raise dbus.exceptions.DBusException(f'{uid} not inhibited by caller', name=ERROR + 'WrongState')
        release(self, uid, 'uninhibit')
