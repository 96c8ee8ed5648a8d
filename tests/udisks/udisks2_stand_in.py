'''A stand-in for the UDisks2 disk service, for the card formatter's tests: the manager, one unrelated block
device and the card's block device with a file system. Parameters: devnum (the card's device number), mount_point (where it is mounted), version,
mount_after (what Mount answers), fail_format (Format fails like a failed mkfs).'''
import dbus
from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2/Manager'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'
SYSTEM_BUS = True

OTHER = '/org/freedesktop/UDisks2/block_devices/sda1'
CARD = '/org/freedesktop/UDisks2/block_devices/sdz1'


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {'Version': parameters.get('version', '2.9.4')})
    mock.AddMethod(MAIN_IFACE, 'GetBlockDevices', 'a{sv}', 'ao',
                   f'ret = [dbus.ObjectPath("{OTHER}"), dbus.ObjectPath("{CARD}")]')
    mock.AddObject(OTHER, 'org.freedesktop.UDisks2.Block', {'DeviceNumber': dbus.UInt64(1)}, [])
    format_code = ''
    if parameters.get('fail_format'):
        format_code = ('raise dbus.exceptions.DBusException("mkfs.vfat exited with code 1", '
                       'name="org.freedesktop.UDisks2.Error.Failed")')
    mock.AddObject(CARD, 'org.freedesktop.UDisks2.Block',
                   {'DeviceNumber': dbus.UInt64(parameters['devnum'])},
                   [('Format', 'sa{sv}', '', format_code)])
    card = mockobject.objects[CARD]
    mounted = [dbus.ByteArray(parameters['mount_point'].encode() + b'\0')]
    card.AddProperties('org.freedesktop.UDisks2.Filesystem', {'MountPoints': dbus.Array(mounted, signature='ay')})
    card.AddMethods('org.freedesktop.UDisks2.Filesystem', [
        ('Unmount', 'a{sv}', '', ''),
        ('Mount', 'a{sv}', 's', f'ret = "{parameters["mount_after"]}"'),
    ])
