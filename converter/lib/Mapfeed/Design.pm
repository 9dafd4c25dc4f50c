package Mapfeed::Design;
# The design file: opened and locked for the whole run, its header read, and at the end
# replaced at once by a copy holding the new elements, so that a failure at any point leaves
# it as it was, byte for byte.
use v5.36;

use Cwd qw(realpath);
use Fcntl qw(:flock :mode O_RDONLY);
use File::Basename qw(dirname basename);
use File::Temp qw(tempfile);
use IO::Handle;

use Mapfeed::Dgn qw(unlong from_vax TYPE_TCB TYPE_TEXT_NODE);
use Mapfeed::Failure qw(fail EXIT_DESIGN);

sub unusable ($path, $why) { fail(EXIT_DESIGN, "design file $path: $why") }

# Opens and locks the design file. Another converter may have replaced the file while this one
# waited for the lock: then the lock is on a file nobody will read again, and it starts over.
sub open_locked ($class, $path) {
    my $real = realpath($path);
    unusable($path, 'does not exist') unless defined $real && -e $real;
    unusable($path, 'is not a plain file') unless -f $real;
    # Replacing it would get round a write protection its owner set on purpose.
    # (Root may write anything: a file nobody may write counts as protected all the same.)
    unusable($path, 'is not writable') unless -w $real && ((stat _)[2] & 0222);
    for (1 .. 50) {
        open(my $fh, '<:raw', $real) or unusable($path, "cannot be opened: $!");
        flock($fh, LOCK_EX) or unusable($path, "cannot be locked: $!");
        my @held = stat $fh;
        my @now = stat $real;
        if (@now && $now[0] == $held[0] && $now[1] == $held[1]) {
            local $/;
            my $bytes = <$fh> // '';
            my $self = bless { path => $path, real => $real, fh => $fh, bytes => $bytes, mode => $held[2] }, $class;
            $self->read_header;
            return $self;
        }
        close $fh;
    }
    unusable($path, 'keeps being replaced by another program');
}

sub is_fresh ($self) { return $self->{fresh} }

# Walks the elements: the first must be a 2D TCB; the end is the 0xFFFF marker or the end of
# the file. Keeps the units, the global origin and the highest text node number.
sub read_header ($self) {
    my $bytes = $self->{bytes};
    my $path = $self->{path};
    if ($bytes eq '') {
        $self->{fresh} = 1;
        $self->{end} = 0;
        return;
    }
    my ($level, $type, $words) = unpack('CCv', $bytes);
    unusable($path, 'is not a version 7 design file (no TCB at its start)')
        unless length($bytes) >= 1536 && ($level == 0x08 || $level == 0xC8) && $type == TYPE_TCB && $words == 766;
    unusable($path, 'is a 3D design file; this converter writes 2D files only')
        if $level == 0xC8 || (ord(substr($bytes, 1214, 1)) & 0x40);

    my $subunits = unlong(substr($bytes, 1112, 4));
    my $uors = unlong(substr($bytes, 1116, 4));
    unusable($path, "has no usable units (subunits per master $subunits, UORs per subunit $uors)")
        unless $subunits > 0 && $uors > 0;
    $self->{uors_per_master} = $subunits * $uors;
    $self->{origin} = [ from_vax(substr($bytes, 1240, 8)), from_vax(substr($bytes, 1248, 8)) ];
    $self->{units} = join '/', map { (my $u = $_) =~ s/[\0 ]+$//; $u } substr($bytes, 1120, 2), substr($bytes, 1122, 2);

    my $offset = 0;
    my $node = 0;
    while ($offset < length $bytes) {
        last if substr($bytes, $offset, 2) eq "\xFF\xFF";
        unusable($path, "ends inside an element at byte $offset") if $offset + 4 > length $bytes;
        my ($kind, $size) = unpack('x C v', substr($bytes, $offset, 4));
        my $next = $offset + 4 + 2 * $size;
        unusable($path, "is damaged: the element at byte $offset runs past its end") if $next > length $bytes;
        if (($kind & 0x7F) == TYPE_TEXT_NODE && $size * 2 + 4 >= 42) {
            my $number = unpack('v', substr($bytes, $offset + 40, 2));
            $node = $number if $number > $node;
        }
        $offset = $next;
    }
    $self->{end} = $offset;
    $self->{last_node_number} = $node;
}

# Replaces the file by its elements, then $header (for a fresh file) and the new elements,
# then the end marker. The copy is written and synced beside it, then renamed over it.
sub commit ($self, $header, $elements) {
    my $dir = dirname($self->{real});
    my ($out, $temp) = eval { tempfile('.' . basename($self->{real}) . '.XXXXXX', DIR => $dir) };
    unusable($self->{path}, "no room for its new copy in $dir: " . ($@ =~ s/\s+\z//r)) unless $out;
    my $ok = eval {
        binmode $out;
        print {$out} substr($self->{bytes}, 0, $self->{end}), $header, $elements, "\xFF\xFF" or die "$!\n";
        $out->flush or die "$!\n";
        $out->sync or die "$!\n";
        chmod(S_IMODE($self->{mode}), $temp) or die "$!\n";
        close $out or die "$!\n";
        rename($temp, $self->{real}) or die "$!\n";
        1;
    };
    unless ($ok) {
        my $error = $@;
        unlink $temp;
        die $error if ref $error;    # a signal, passed on
        unusable($self->{path}, 'could not be written: ' . ($error =~ s/\s+\z//r));
    }
    # The rename itself is made durable by syncing the folder.
    if (sysopen(my $folder, $dir, O_RDONLY)) {
        $folder->sync;
        close $folder;
    }
    close $self->{fh};
}

1;
