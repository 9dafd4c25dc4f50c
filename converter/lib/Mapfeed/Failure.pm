package Mapfeed::Failure;
# A failure that ends the run with a given exit status and one message line on stderr.
use v5.36;

use Exporter 'import';
our @EXPORT_OK = qw(fail EXIT_OK EXIT_SUBSTITUTED EXIT_USAGE EXIT_INPUT EXIT_DESIGN);

use constant {
    EXIT_OK          => 0,    # done
    EXIT_SUBSTITUTED => 3,    # done, with each substitution reported
    EXIT_USAGE       => 2,    # bad command line
    EXIT_INPUT       => 4,    # input not supported or malformed
    EXIT_DESIGN      => 5,    # design file unusable, or a coordinate outside its plane
};

sub new ($class, $status, $message) { return bless { status => $status, message => $message }, $class }
sub status ($self)  { return $self->{status} }
sub message ($self) { return $self->{message} }

# Ends the current step: the caller's eval (the script's main) turns it into the exit status.
sub fail ($status, $message) { die __PACKAGE__->new($status, $message) }

1;
